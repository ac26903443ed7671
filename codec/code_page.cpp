// What the narrow code page does the same on every system.
#include "codec/code_page.h"

namespace zentrova::codepage {

std::u32string Unrepresentable(std::u16string_view text) {
  std::u32string lost;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (HoldsUnit(text[i])) continue;
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00u);
    }
    if (lost.find(c) == std::u32string::npos) lost += c;
  }
  return lost;
}

// Both fold every unit into one with OR, which the compiler turns into vector code, and look
// at the result once.
bool IsAscii(std::u16string_view text) {
  char16_t all = 0;
  for (const char16_t unit : text) all |= unit;
  return all < 0x80;
}

bool IsAscii(std::string_view bytes) {
  unsigned char all = 0;
  for (const char byte : bytes) all |= static_cast<unsigned char>(byte);
  return all < 0x80;
}

}  // namespace zentrova::codepage
