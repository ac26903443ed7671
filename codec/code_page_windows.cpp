// The narrow code page on Windows: the system's ANSI code page.
#include <windows.h>

#include "codec/code_page.h"

namespace zentrova::codepage {

std::uint32_t NarrowCodePage() { return GetACP(); }

bool SetNarrowCodePage(std::uint32_t codePage) { return codePage == GetACP(); }

bool HoldsUnit(char16_t unit) {
  if (unit >= 0xD800 && unit < 0xE000) return false;
  const wchar_t wide = static_cast<wchar_t>(unit);
  char bytes[4];
  BOOL usedDefault = FALSE;
  return WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &wide, 1, bytes, sizeof bytes, nullptr,
                             &usedDefault) > 0 &&
         !usedDefault;
}

std::string ToNarrow(std::u16string_view text) {
  if (text.empty()) return {};
  // Every ANSI code page holds ASCII as itself, and most texts (links among them) are ASCII.
  if (IsAscii(text)) return std::string(text.begin(), text.end());
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  // Without this flag the system substitutes look-alikes ("²" becomes "2", "¢" a full-width
  // cent sign); every character the code page lacks becomes "?" instead, as on other systems.
  constexpr DWORD kFlags = WC_NO_BEST_FIT_CHARS;
  const int needed =
      WideCharToMultiByte(CP_ACP, kFlags, wide, length, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(CP_ACP, kFlags, wide, length, bytes.data(), needed, nullptr, nullptr);
  return bytes;
}

std::u16string FromNarrow(std::string_view bytes) {
  if (bytes.empty()) return {};
  if (IsAscii(bytes)) return std::u16string(bytes.begin(), bytes.end());
  const int length = static_cast<int>(bytes.size());
  const int needed = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
  std::u16string text(static_cast<std::size_t>(needed), u'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, reinterpret_cast<wchar_t*>(text.data()),
                      needed);
  return text;
}

std::optional<std::u16string> FromValidNarrow(std::string_view bytes) {
  // Windows has no flag for this that agrees with its own reading: MB_ERR_INVALID_CHARS also
  // refuses 0xFF and the user-defined areas, which read as private-use characters. A bad byte
  // becomes a character that does not turn back into it, so the bytes are valid exactly when
  // they come back whole.
  std::u16string text = FromNarrow(bytes);
  if (ToNarrow(text) != bytes) return std::nullopt;
  return text;
}

}  // namespace zentrova::codepage
