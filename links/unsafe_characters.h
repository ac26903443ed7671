// Characters that no address may hold once it is decoded. Control characters end lines and run
// commands when an address is pasted into a terminal; invisible and direction characters make an
// address read as another ("下载" U+202E "gpj.exe" shows as "下载exe.jpg") or split it into two
// lines for tools that split on U+2028, U+2029 or U+0085; fillers that draw nothing make a name
// look like another or like none.
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

// Invisible and direction characters: U+061C, U+115F, U+1160, U+180E, U+200B, U+200E, U+200F,
// U+202A-U+202E, U+2028, U+2029, U+2060-U+2064, U+2066-U+2069, U+3164, U+FEFF and U+FFA0. The
// joiners U+200C and U+200D stay: emoji sequences and some scripts need them.
bool IsInvisibleCharacter(char16_t c);

// Returns the first control, invisible or direction character of `text`, or nothing.
std::optional<UnsafeCharacter> FirstUnsafeCharacter(std::u16string_view text);

// The same for bytes read as UTF-8, whatever reading made the text a person sees: a downloader,
// a server or a file system that reads the escaped bytes as UTF-8 shows what they encode. Bytes
// that form no UTF-8 sequence are passed over, as lenient readers drop them; `at` is a byte
// position.
std::optional<UnsafeCharacter> FirstUnsafeUtf8Character(std::string_view bytes);

// The same for the bytes that the narrow code page writes `text` as: what a link carried, read
// in the code page, is those bytes again. Nothing for ASCII text, which every reading gives alike.
std::optional<UnsafeCharacter> FirstUnsafeCodePageByte(std::u16string_view text);

}  // namespace zentrova::links
