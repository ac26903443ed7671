// Characters that no address may hold once it is decoded. Control characters end lines and run
// commands when an address is pasted into a terminal; invisible and direction characters make an
// address read as another ("下载" U+202E "gpj.exe" shows as "下载exe.jpg") or split it into two
// lines for tools that split on U+2028, U+2029 or U+0085.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace zentrova::links {

struct UnsafeCharacter {
  enum class Kind { kControl, kInvisible };
  Kind kind;
  char16_t value;
  std::size_t at;  // 0-based position in the text
};

// Control characters: U+0000-U+001F and U+007F-U+009F.
bool IsControlCharacter(char16_t c);

// Invisible and direction characters: U+061C, U+200E, U+200F, U+202A-U+202E, U+2028, U+2029,
// U+2066-U+2069 and U+FEFF.
bool IsInvisibleCharacter(char16_t c);

// Returns the first control, invisible or direction character of `text`, or nothing.
std::optional<UnsafeCharacter> FirstUnsafeCharacter(std::u16string_view text);

}  // namespace zentrova::links
