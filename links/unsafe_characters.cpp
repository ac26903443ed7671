#include "links/unsafe_characters.h"

namespace zentrova::links {

bool IsControlCharacter(char16_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

bool IsInvisibleCharacter(char16_t c) {
  return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || c == 0x2028 ||
         c == 0x2029 || (c >= 0x2066 && c <= 0x2069) || c == 0xFEFF;
}

std::optional<UnsafeCharacter> FirstUnsafeCharacter(std::u16string_view text) {
  for (std::size_t at = 0; at < text.size(); ++at) {
    const char16_t c = text[at];
    // Most of every address is printable ASCII: one comparison each.
    if (c >= 0x20 && c < 0x7F) continue;
    if (IsControlCharacter(c)) return UnsafeCharacter{UnsafeCharacter::Kind::kControl, c, at};
    if (IsInvisibleCharacter(c)) return UnsafeCharacter{UnsafeCharacter::Kind::kInvisible, c, at};
  }
  return std::nullopt;
}

}  // namespace zentrova::links
