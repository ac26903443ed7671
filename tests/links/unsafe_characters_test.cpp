// The characters no address may hold, found where they are: in the text a reading made, and in
// the bytes that lenient readers take as UTF-8 whatever the reading was.
#include "links/unsafe_characters.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "codec/utf8.h"

namespace zentrova::links {
namespace {

using Kind = UnsafeCharacter::Kind;

TEST(UnsafeCharactersTest, EachCharacterIsControlInvisibleOrSafe) {
  // Default_Ignorable_Code_Point as Unicode 15.1 lists it, but the joiners, with the annotation
  // marks and the separators; the characters around each range are safe.
  const struct {
    char32_t first, last;
    std::optional<Kind> kind;
  } ranges[] = {
      {0x0000, 0x001F, Kind::kControl},
      {0x0020, 0x007E, std::nullopt},
      {0x007F, 0x009F, Kind::kControl},
      {0x00A0, 0x00AC, std::nullopt},
      {0x00AD, 0x00AD, Kind::kInvisible},
      {0x00AE, 0x034E, std::nullopt},
      {0x034F, 0x034F, Kind::kInvisible},
      {0x0350, 0x061B, std::nullopt},
      {0x061C, 0x061C, Kind::kInvisible},
      {0x115F, 0x1160, Kind::kInvisible},
      {0x17B3, 0x17B3, std::nullopt},
      {0x17B4, 0x17B5, Kind::kInvisible},
      {0x180A, 0x180A, std::nullopt},
      {0x180B, 0x180F, Kind::kInvisible},
      {0x200B, 0x200B, Kind::kInvisible},
      {0x200C, 0x200D, std::nullopt},  // joiners: emoji sequences and some scripts need them
      {0x200E, 0x200F, Kind::kInvisible},
      {0x2010, 0x2027, std::nullopt},
      {0x2028, 0x202E, Kind::kInvisible},
      {0x202F, 0x205F, std::nullopt},
      {0x2060, 0x206F, Kind::kInvisible},
      {0x2070, 0x2070, std::nullopt},
      {0x3000, 0x3000, std::nullopt},
      {0x3164, 0x3164, Kind::kInvisible},
      {0x4E2D, 0x4E2D, std::nullopt},
      {0xFDFF, 0xFDFF, std::nullopt},
      {0xFE00, 0xFE0F, Kind::kInvisible},
      {0xFE10, 0xFE10, std::nullopt},
      {0xFEFF, 0xFEFF, Kind::kInvisible},
      {0xFFA0, 0xFFA0, Kind::kInvisible},
      {0xFFF0, 0xFFFB, Kind::kInvisible},
      {0xFFFC, 0xFFFD, std::nullopt},
      {0x1BC9F, 0x1BC9F, std::nullopt},
      {0x1BCA0, 0x1BCA3, Kind::kInvisible},
      {0x1D172, 0x1D172, std::nullopt},
      {0x1D173, 0x1D17A, Kind::kInvisible},
      {0x1D17B, 0x1D17B, std::nullopt},
      {0x1F600, 0x1F600, std::nullopt},
      {0xDFFFF, 0xDFFFF, std::nullopt},
      {0xE0000, 0xE0FFF, Kind::kInvisible},
      {0xE1000, 0xE1000, std::nullopt},
  };
  for (const auto& range : ranges) {
    for (char32_t c = range.first; c <= range.last; ++c) {
      EXPECT_EQ(IsControlCharacter(c), range.kind == Kind::kControl)
          << std::hex << static_cast<std::uint32_t>(c);
      EXPECT_EQ(IsInvisibleCharacter(c), range.kind == Kind::kInvisible)
          << std::hex << static_cast<std::uint32_t>(c);
      std::u16string text = u"http://a/";
      if (c < 0x10000) {
        text += static_cast<char16_t>(c);
      } else {
        text += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
        text += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
      }
      text += u"b";
      const auto found = FirstUnsafeCharacter(text);
      ASSERT_EQ(found.has_value(), range.kind.has_value())
          << std::hex << static_cast<std::uint32_t>(c);
      if (found) {
        EXPECT_EQ(found->kind, *range.kind);
        EXPECT_EQ(found->value, c);
        EXPECT_EQ(found->at, 9u);
      }
    }
  }
  EXPECT_FALSE(FirstUnsafeCharacter(u""));
  // The first of several is the one named.
  const auto first = FirstUnsafeCharacter(u"a\u202Eb\nc");
  ASSERT_TRUE(first);
  EXPECT_EQ(first->value, 0x202Eu);
  EXPECT_EQ(first->at, 1u);
}

// Selectors and tags draw part of an emoji where one stands before them, and nothing anywhere
// else.
TEST(UnsafeCharactersTest, EmojiSequencesKeepTheirSelectorsAndTags) {
  const struct {
    const char* name;
    std::u16string text;
    std::optional<char32_t> found;
  } rows[] = {
      {"a heart in red", u"\u2764\uFE0F.jpg", std::nullopt},
      {"a text-style umbrella", u"\u2602\uFE0E", std::nullopt},
      {"a keycap", u"1\uFE0F\u20E3.mp3", std::nullopt},
      {"a rainbow flag", u"\U0001F3F3\uFE0F\u200D\U0001F308", std::nullopt},
      {"the flag of England",
       u"\U0001F3F4\U000E0067\U000E0062\U000E0065\U000E006E\U000E0067\U000E007F", std::nullopt},
      {"a selector after a letter", u"a\uFE0Fb", 0xFE0F},
      {"a keycap's selector without the keycap", u"1\uFE0F.mp3", 0xFE0F},
      {"an ideographic variation selector", u"\u845B\U000E0100", 0xE0100},
      {"tags after a letter", u"a\U000E0061", 0xE0061},
      {"tags after the cancel tag", u"\U0001F3F4\U000E007F\U000E0061", 0xE0061},
      {"the language tag", u"\U000E0001en", 0xE0001},
      {"a selector alone", u"\uFE0F", 0xFE0F},
  };
  for (const auto& row : rows) {
    const auto found = FirstUnsafeCharacter(row.text);
    ASSERT_EQ(found.has_value(), row.found.has_value()) << row.name;
    if (found) {
      EXPECT_EQ(found->value, *row.found) << row.name;
    }
    // The bytes that lenient readers take as UTF-8 say the same.
    const auto inBytes = FirstUnsafeUtf8Character(ToUtf8(row.text));
    ASSERT_EQ(inBytes.has_value(), row.found.has_value()) << row.name << " in UTF-8";
    if (inBytes) {
      EXPECT_EQ(inBytes->value, *row.found) << row.name << " in UTF-8";
    }
  }
}

TEST(UnsafeCharactersTest, Utf8BytesAreReadLikeLenientReadersReadThem) {
  const struct {
    const char* name;
    std::string bytes;
    std::optional<char32_t> found;
    std::size_t at;
  } rows[] = {
      {"ASCII", "http://a/b", std::nullopt, 0},
      {"a line feed", "a\nb", u'\n', 1},
      {"DEL", "a\x7f", 0x7F, 1},
      {"after a bad byte", "\xff\xe2\x80\xae", 0x202E, 1},
      {"an overlong form is no character", "\xc0\x8a", std::nullopt, 0},
      {"a cut sequence, then the mark", "\xe2\x80\xe2\x80\x8b", 0x200B, 2},
      {"beyond the first plane", "\xf0\x9f\x98\x80", std::nullopt, 0},
      {"a C1 control", "x\xc2\x85", 0x85, 1},
      {"a joiner", "\xe2\x80\x8d", std::nullopt, 0},
      {"a soft hyphen",
       "a\xc2\xad"
       "b",
       0xAD, 1},
      {"a tag beyond the first plane", "a\xf3\xa0\x80\x81", 0xE0001, 1},
      {"a musical format control", "\xf0\x9d\x85\xb3", 0x1D173, 0},
  };
  for (const auto& row : rows) {
    const auto found = FirstUnsafeUtf8Character(row.bytes);
    ASSERT_EQ(found.has_value(), row.found.has_value()) << row.name;
    if (found) {
      EXPECT_EQ(found->value, *row.found) << row.name;
      EXPECT_EQ(found->at, row.at) << row.name;
    }
  }
}

}  // namespace
}  // namespace zentrova::links
