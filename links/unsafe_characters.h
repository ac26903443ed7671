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
  char32_t value;
  std::size_t at;  // 0-based position in the text (the first unit of a pair)
};

// Control characters: U+0000-U+001F and U+007F-U+009F.
bool IsControlCharacter(char32_t c);

// Invisible and direction characters: Unicode's Default_Ignorable_Code_Point set (the soft
// hyphen, the combining grapheme joiner, the Hangul fillers, the Khmer and Mongolian vowel marks
// and selectors, the zero-width and direction marks, the invisible operators and deprecated
// format characters, the variation selectors, the byte-order mark, the musical symbol format
// controls, the tags), the interlinear annotation marks U+FFF9-U+FFFB, and the line and
// paragraph separators U+2028 and U+2029. The joiners U+200C and U+200D are not: emoji
// sequences and some scripts need them.
bool IsInvisibleCharacter(char32_t c);

// Returns the first control, invisible or direction character of `text`, or nothing. The
// selectors of an emoji's presentation (U+FE0E, U+FE0F after an emoji, or after a keycap's digit
// before U+20E3) and the tags of a flag (U+E0020-U+E007F after U+1F3F4) draw part of what a
// person sees: they are safe there, and only there.
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
