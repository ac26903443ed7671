#include "links/unsafe_characters.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "codec/code_page.h"
#include "codec/utf8.h"

namespace zentrova::links {
namespace {

struct Range {
  char32_t first, last;
};

// Default_Ignorable_Code_Point (DerivedCoreProperties.txt, Unicode 15.1), less the joiners, with
// the annotation marks and the two separators; in order, for a binary search.
constexpr Range kInvisible[] = {
    {0x00AD, 0x00AD},   {0x034F, 0x034F},   {0x061C, 0x061C},   {0x115F, 0x1160}, {0x17B4, 0x17B5},
    {0x180B, 0x180F},   {0x200B, 0x200B},   {0x200E, 0x200F},   {0x2028, 0x202E}, {0x2060, 0x206F},
    {0x3164, 0x3164},   {0xFE00, 0xFE0F},   {0xFEFF, 0xFEFF},   {0xFFA0, 0xFFA0}, {0xFFF0, 0xFFFB},
    {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0000, 0xE0FFF},
};

bool IsTag(char32_t c) { return c >= 0xE0020 && c <= 0xE007F; }

// Characters that take an emoji presentation selector: the emoji blocks and the older symbols
// that Unicode's emoji data gives one.
bool IsEmojiBase(char32_t c) {
  return (c >= 0x1F000 && c <= 0x1FAFF) || (c >= 0x2190 && c <= 0x21FF) ||
         (c >= 0x2300 && c <= 0x23FF) || (c >= 0x25A0 && c <= 0x27BF) ||
         (c >= 0x2900 && c <= 0x297F) || (c >= 0x2B00 && c <= 0x2BFF) || c == 0x00A9 ||
         c == 0x00AE || c == 0x203C || c == 0x2049 || c == 0x2122 || c == 0x2139 || c == 0x24C2 ||
         c == 0x3030 || c == 0x303D || c == 0x3297 || c == 0x3299;
}

bool IsKeycapBase(char32_t c) { return (c >= U'0' && c <= U'9') || c == U'#' || c == U'*'; }

// What `c` is between `before` and the character `after()` gives (0 where there is none): a
// control, an invisible character, or nothing. The next character is read only for a keycap's
// selector: the scanners run over every address, and most characters need only themselves.
template <typename After>
std::optional<UnsafeCharacter::Kind> KindOf(char32_t before, char32_t c, After&& after) {
  if (IsControlCharacter(c)) return UnsafeCharacter::Kind::kControl;
  if (!IsInvisibleCharacter(c)) return std::nullopt;
  if ((c == 0xFE0E || c == 0xFE0F) &&
      (IsEmojiBase(before) || (IsKeycapBase(before) && after() == 0x20E3))) {
    return std::nullopt;
  }
  if (IsTag(c) && (before == 0x1F3F4 || (IsTag(before) && before != 0xE007F))) return std::nullopt;
  return UnsafeCharacter::Kind::kInvisible;
}

// The code point at `at` of `text` and how many units it takes; a lone surrogate is itself.
std::pair<char32_t, std::size_t> CodePointAt(std::u16string_view text, std::size_t at) {
  const char16_t c = text[at];
  if (c >= 0xD800 && c < 0xDC00 && at + 1 < text.size() && text[at + 1] >= 0xDC00 &&
      text[at + 1] < 0xE000) {
    return {0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[at + 1] - 0xDC00), 2};
  }
  return {c, 1};
}

}  // namespace

bool IsControlCharacter(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

bool IsInvisibleCharacter(char32_t c) {
  const auto range =
      std::lower_bound(std::begin(kInvisible), std::end(kInvisible), c,
                       [](const Range& r, char32_t value) { return r.last < value; });
  return range != std::end(kInvisible) && range->first <= c;
}

std::optional<UnsafeCharacter> FirstUnsafeCharacter(std::u16string_view text) {
  char32_t before = 0;
  for (std::size_t at = 0; at < text.size();) {
    // Most of every address is printable ASCII: one comparison each.
    if (text[at] >= 0x20 && text[at] < 0x7F) {
      before = text[at++];
      continue;
    }
    const auto [c, length] = CodePointAt(text, at);
    const auto after = [&, length = length] {
      return at + length < text.size() ? CodePointAt(text, at + length).first : 0;
    };
    if (const auto kind = KindOf(before, c, after)) return UnsafeCharacter{*kind, c, at};
    before = c;
    at += length;
  }
  return std::nullopt;
}

std::optional<UnsafeCharacter> FirstUnsafeUtf8Character(std::string_view bytes) {
  // In bytes that are not UTF-8 as a whole, a two-byte sequence is as often the GBK of a
  // traditional name ("新聞" is D0 C2 C2 84, and C2 84 is U+0084) as a hidden mark; a mark of
  // three bytes or more hardly ever is, and an ASCII control is one in every reading. So a
  // two-byte character counts only once the bytes prove to be UTF-8.
  const auto characterAt = [&](std::size_t at) -> std::optional<Utf8Character> {
    if (at >= bytes.size()) return std::nullopt;
    if (static_cast<unsigned char>(bytes[at]) < 0x80) {
      return Utf8Character{static_cast<unsigned char>(bytes[at]), 1};
    }
    return FirstUtf8Character(bytes.substr(at));
  };
  bool valid = true;
  std::optional<UnsafeCharacter> first;      // of any length
  std::optional<UnsafeCharacter> firstSure;  // of one byte or of three or more
  char32_t before = 0;
  for (std::size_t at = 0; at < bytes.size() && !(firstSure && firstSure->at == first->at);) {
    const std::optional<Utf8Character> character = characterAt(at);
    if (!character) {
      valid = false;
      before = 0;
      ++at;
      continue;
    }
    const auto after = [&] {
      const std::optional<Utf8Character> next = characterAt(at + character->length);
      return next ? next->value : 0;
    };
    if (const auto kind = KindOf(before, character->value, after)) {
      const UnsafeCharacter unsafe{*kind, character->value, at};
      if (!first) first = unsafe;
      if (!firstSure && character->length != 2) firstSure = unsafe;
    }
    before = character->value;
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
