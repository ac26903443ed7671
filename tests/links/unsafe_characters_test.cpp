// The characters no address may hold, found where they are: in the text a reading made, and in
// the bytes that lenient readers take as UTF-8 whatever the reading was.
#include "links/unsafe_characters.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace zentrova::links {
namespace {

using Kind = UnsafeCharacter::Kind;

TEST(UnsafeCharactersTest, EachCharacterIsControlInvisibleOrSafe) {
  const struct {
    char16_t first, last;
    std::optional<Kind> kind;
  } ranges[] = {
      {0x0000, 0x001F, Kind::kControl},   {0x0020, 0x007E, std::nullopt},
      {0x007F, 0x009F, Kind::kControl},   {0x00A0, 0x00A0, std::nullopt},
      {0x061C, 0x061C, Kind::kInvisible}, {0x115F, 0x1160, Kind::kInvisible},
      {0x180E, 0x180E, Kind::kInvisible}, {0x200B, 0x200B, Kind::kInvisible},
      {0x200C, 0x200D, std::nullopt},  // joiners: emoji sequences and some scripts need them
      {0x200E, 0x200F, Kind::kInvisible}, {0x2028, 0x2029, Kind::kInvisible},
      {0x202A, 0x202E, Kind::kInvisible}, {0x202F, 0x205F, std::nullopt},
      {0x2060, 0x2064, Kind::kInvisible}, {0x2065, 0x2065, std::nullopt},
      {0x2066, 0x2069, Kind::kInvisible}, {0x3000, 0x3000, std::nullopt},
      {0x3164, 0x3164, Kind::kInvisible}, {0x4E2D, 0x4E2D, std::nullopt},
      {0xFEFF, 0xFEFF, Kind::kInvisible}, {0xFFA0, 0xFFA0, Kind::kInvisible},
      {0xFFFD, 0xFFFD, std::nullopt},
  };
  for (const auto& range : ranges) {
    for (std::uint32_t c = range.first; c <= range.last; ++c) {
      const char16_t unit = static_cast<char16_t>(c);
      EXPECT_EQ(IsControlCharacter(unit), range.kind == Kind::kControl) << std::hex << c;
      EXPECT_EQ(IsInvisibleCharacter(unit), range.kind == Kind::kInvisible) << std::hex << c;
      const std::u16string text = u"http://a/" + std::u16string(1, unit) + u"b";
      const auto found = FirstUnsafeCharacter(text);
      ASSERT_EQ(found.has_value(), range.kind.has_value()) << std::hex << c;
      if (found) {
        EXPECT_EQ(found->kind, *range.kind);
        EXPECT_EQ(found->value, unit);
        EXPECT_EQ(found->at, 9u);
      }
    }
  }
  EXPECT_FALSE(FirstUnsafeCharacter(u""));
  // The first of several is the one named.
  const auto first = FirstUnsafeCharacter(u"a\u202Eb\nc");
  ASSERT_TRUE(first);
  EXPECT_EQ(first->value, 0x202E);
  EXPECT_EQ(first->at, 1u);
}

TEST(UnsafeCharactersTest, Utf8BytesAreReadLikeLenientReadersReadThem) {
  const struct {
    const char* name;
    std::string bytes;
    std::optional<char16_t> found;
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
