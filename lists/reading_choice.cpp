#include "lists/reading_choice.h"

#include <algorithm>

#include "links/unsafe_characters.h"

namespace zentrova::lists {

using links::IsInvisibleCharacter;

using links::IsControlCharacter;
namespace {

bool IsCjk(char16_t c) {
  return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) ||
         (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xD800 && c <= 0xDBFF);  // beyond the BMP
}

bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

bool IsLatin1Letter(char16_t c) { return c >= 0x00C0 && c <= 0x00FF && c != 0x00D7 && c != 0x00F7; }

// Whether the invisible character at `at` draws part of what stands before it there (an
// emoji's selector, a flag's tag), judged with the character before it and the one after.
bool DrawsPartOfAnEmoji(std::u16string_view text, std::size_t at) {
  std::size_t from = at > 0 ? at - 1 : at;
  if (from > 0 && text[from] >= 0xDC00 && text[from] < 0xE000) --from;  // a pair's second half
  return !links::FirstUnsafeCharacter(text.substr(from, at - from + 2));
}

// +1 for the character at `at` when a name plausibly holds it there, -1 when it shows a wrong
// reading, else 0. A Latin-1 letter is plausible inside a Latin word ("café"); on its own, it is
// what the GBK bytes of a Chinese name look like as UTF-8 ("毛" reads as "ë").
int Plausibility(std::u16string_view text, std::size_t at) {
  const char16_t c = text[at];
  if (c < 0x80) return 0;
  // Marks that no name shows, whatever reading makes them (U+2028 and U+202E lie among the
  // punctuation below); an emoji's selector is part of what it shows.
  if (IsControlCharacter(c)) return -1;
  if (IsInvisibleCharacter(c)) return DrawsPartOfAnEmoji(text, at) ? 0 : -1;
  // Symbols and dingbats, which emoji names show.
  if (c >= 0x2600 && c <= 0x27BF) return 1;
  if (IsCjk(c) || (c >= 0x3000 && c <= 0x312F) || (c >= 0xAC00 && c <= 0xD7AF) ||
      (c >= 0xFF00 && c <= 0xFFEF) || (c >= 0x2010 && c <= 0x205E)) {
    return 1;
  }
  if (IsLatin1Letter(c)) {
    const bool inWord = (at > 0 && IsAsciiLetter(text[at - 1])) ||
                        (at + 1 < text.size() && IsAsciiLetter(text[at + 1]));
    return inWord ? 1 : 0;
  }
  if ((c >= 0x0080 && c <= 0x009F) || (c >= 0x0100 && c <= 0x07FF) ||
      (c >= 0x2500 && c <= 0x259F) || (c >= 0xE000 && c <= 0xF8FF) || c == 0xFFFD) {
    return -1;
  }
  return 0;
}

int Score(std::u16string_view text) {
  int score = 0;
  for (std::size_t at = 0; at < text.size(); ++at) score += Plausibility(text, at);
  return score;
}

bool IsAsciiWordCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// How many ASCII words code page 936 cuts into by making a character of a byte and the first
// letter of the word. Bytes that are valid UTF-8 do that by chance where a UTF-8 character
// meets ASCII: "、thunder" (E3 80 81 74 …) would read as two ideographs and "hunder", and the
// link after the mark would be lost. GBK's own rarer characters end in an ASCII byte too
// (營: A0 49), but before another letter of a word only by a rare chance.
int GbkCutsAsciiWords(std::string_view bytes) {
  int cuts = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x81 || b == 0xFF || i + 1 == bytes.size()) continue;
    ++i;
    if (i + 1 < bytes.size() && IsAsciiWordCharacter(bytes[i]) &&
        IsAsciiWordCharacter(bytes[i + 1])) {
      ++cuts;
    }
  }
  return cuts;
}

// Whether `text` holds an emoji's presentation selector where an emoji takes one: bytes that are
// the UTF-8 of a symbol and its selector (E2 9D A4 EF B8 8F, "❤️") are that, never GBK by
// chance.
bool HoldsEmojiSelector(std::u16string_view text) {
  for (std::size_t at = 1; at < text.size(); ++at) {
    if ((text[at] == 0xFE0F || text[at] == 0xFE0E) && DrawsPartOfAnEmoji(text, at)) return true;
  }
  return false;
}

// Whether every character of `utf8` beyond ASCII is one no one sees: bytes that are exactly the
// UTF-8 of such marks are those marks (a soft hyphen planted in a name), not GBK by chance.
bool OnlyInvisibleBeyondAscii(std::u16string_view utf8) {
  bool any = false;
  for (std::size_t at = 0; at < utf8.size(); ++at) {
    char32_t c = utf8[at];
    if (c < 0x80) continue;
    if (c >= 0xD800 && c < 0xDC00 && at + 1 < utf8.size()) {
      c = 0x10000 + ((c - 0xD800) << 10) + (utf8[++at] - 0xDC00);
    }
    if (!IsInvisibleCharacter(c)) return false;
    any = true;
  }
  return any;
}

}  // namespace

bool HoldsCjk(std::u16string_view text) { return std::any_of(text.begin(), text.end(), IsCjk); }

bool ReadsBetterAsGbk(std::string_view bytes, std::u16string_view utf8, std::u16string_view gbk) {
  return !HoldsCjk(utf8) && !OnlyInvisibleBeyondAscii(utf8) && !HoldsEmojiSelector(utf8) &&
         Score(gbk) - GbkCutsAsciiWords(bytes) > Score(utf8);
}

}  // namespace zentrova::lists
