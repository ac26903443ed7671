#include "links/unsafe_characters.h"

#include <algorithm>

#include "codec/code_page.h"
#include "codec/utf8.h"

namespace zentrova::links {

bool IsControlCharacter(char16_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

bool IsInvisibleCharacter(char16_t c) {
  // Hangul fillers (U+115F, U+1160, U+3164, U+FFA0) and the Mongolian vowel separator draw
  // nothing in most fonts; the word joiner and the invisible operators (U+2060-U+2064) neither.
  return c == 0x061C || c == 0x115F || c == 0x1160 || c == 0x180E || c == 0x200B || c == 0x200E ||
         c == 0x200F || (c >= 0x202A && c <= 0x202E) || c == 0x2028 || c == 0x2029 ||
         (c >= 0x2060 && c <= 0x2064) || (c >= 0x2066 && c <= 0x2069) || c == 0x3164 ||
         c == 0xFEFF || c == 0xFFA0;
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

std::optional<UnsafeCharacter> FirstUnsafeUtf8Character(std::string_view bytes) {
  // In bytes that are not UTF-8 as a whole, a two-byte sequence is as often the GBK of a
  // traditional name ("新聞" is D0 C2 C2 84, and C2 84 is U+0084) as a hidden mark; a mark of
  // three bytes hardly ever is, and an ASCII control is one in every reading. So a two-byte
  // character counts only once the bytes prove to be UTF-8.
  bool valid = true;
  std::optional<UnsafeCharacter> first;      // of any length
  std::optional<UnsafeCharacter> firstSure;  // of one byte or of three or more
  for (std::size_t at = 0; at < bytes.size() && !(firstSure && firstSure->at == first->at);) {
    std::optional<Utf8Character> character;
    if (static_cast<unsigned char>(bytes[at]) < 0x80) {
      character = Utf8Character{static_cast<unsigned char>(bytes[at]), 1};
    } else {
      character = FirstUtf8Character(bytes.substr(at));
    }
    if (!character) {
      valid = false;
      ++at;
      continue;
    }
    // Every unsafe character lies in the first plane.
    const auto c = static_cast<char16_t>(character->value);
    if (character->value < 0x10000 && (IsControlCharacter(c) || IsInvisibleCharacter(c))) {
      const UnsafeCharacter unsafe{IsControlCharacter(c) ? UnsafeCharacter::Kind::kControl
                                                         : UnsafeCharacter::Kind::kInvisible,
                                   c, at};
      if (!first) first = unsafe;
      if (!firstSure && character->length != 2) firstSure = unsafe;
    }
    at += character->length;
  }
  return valid ? first : firstSure;
}

std::optional<UnsafeCharacter> FirstUnsafeCodePageByte(std::u16string_view text) {
  if (std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; })) {
    return std::nullopt;
  }
  return FirstUnsafeUtf8Character(codepage::ToNarrow(text));
}

}  // namespace zentrova::links
