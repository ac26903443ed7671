// What the file layer does the same on every system.
#include "codec/file_io.h"

#include <csignal>

#include "codec/utf8.h"

namespace zentrova::fileio {
namespace {

volatile std::sig_atomic_t gInterrupt = 0;

}  // namespace

std::filesystem::path PathOf(std::u16string_view name) {
#ifdef _WIN32
  return std::filesystem::path(std::wstring(name.begin(), name.end()));
#else
  const auto bytes = ToNativeName(name);
  if (!bytes) {
    throw CodecError(errors::kBadFileName,
                     errors::Described(errors::texts::kUnpairedSurrogate, {name}));
  }
  return std::filesystem::path(*bytes);
#endif
}

std::u16string NameOf(const std::filesystem::path& path) {
#ifdef _WIN32
  const std::wstring& name = path.native();
  return std::u16string(name.begin(), name.end());
#else
  return FromNativeName(path.native());
#endif
}

void FailOn(std::int32_t code, std::u16string_view action, const std::filesystem::path& path,
            std::u16string_view cause) {
  throw CodecError(code, errors::Described(action, {NameOf(path), cause}));
}

void FailSameFile(const std::filesystem::path& path) {
  throw CodecError(errors::kPathFileAccessError,
                   errors::Described(errors::texts::kSameFile, {NameOf(path)}));
}

void RequestInterrupt() noexcept { gInterrupt = 1; }
void ClearInterrupt() noexcept { gInterrupt = 0; }
bool InterruptRequested() noexcept { return gInterrupt != 0; }

}  // namespace zentrova::fileio
