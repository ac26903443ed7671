#include "codec/codec_error.h"

#include "codec/utf8.h"

namespace zentrova {

CodecError::CodecError(std::int32_t code, std::u16string description)
    : std::runtime_error(std::to_string(code) + ": " + ToUtf8(description)),
      code_(code),
      description_(std::move(description)) {}

std::int32_t CodecError::code() const noexcept { return code_; }

const std::u16string& CodecError::description() const noexcept { return description_; }

namespace errors {

std::u16string Number(std::int64_t n) {
  const std::string s = std::to_string(n);
  return std::u16string(s.begin(), s.end());
}

std::u16string Quoted(std::u16string_view name) {
  // Appended, not `u"'" + std::u16string(name)`: GCC 12 warns falsely (-Wrestrict) on a
  // literal added to a temporary string.
  return std::u16string(u"'").append(name).append(u"'");
}

}  // namespace errors
}  // namespace zentrova
