#include "codec/code_page.h"

#include <gtest/gtest.h>

#include "codec/utf8.h"

namespace zentrova::codepage {
namespace {

class CodePageTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SetNarrowCodePage(kDefaultCodePage)); }
  void TearDown() override { SetNarrowCodePage(kDefaultCodePage); }
};

struct Row {
  std::u16string text;
  std::string bytes;
};

TEST_F(CodePageTest, Gbk) {
  EXPECT_EQ(NarrowCodePage(), 936u);
  const Row rows[] = {
      {u"abc", "abc"},
      {u"中文", "\xD6\xD0\xCE\xC4"},
      {u"€", "\x80"},
      {u"a\u0E01b", "a?b"},  // not in the code page
      {u"²â¢", "???"},       // no look-alikes ("2", "a", a full-width cent)
      {u"\uE000\uE233\uE234\uE4C6\uE766\uE864", "\xAA\xA1\xAF\xFE\xF8\xA1\xA1\x40\xA2\xAB\xFE\xA0"},
      {u"\uE865\uF8F5", "?\xFF"},           // the user-defined areas end; 0xFF is U+F8F5
      {u"\U0001F600", "??"},                // a surrogate pair is two code units
      {std::u16string(1, u'\xD800'), "?"},  // so is half of one
      {std::u16string(1, u'\0'), std::string(1, '\0')},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ToNarrow(row.text), row.bytes) << ToUtf8(row.text);
  }
}

// Windows's own code page 936 gives "?" for a lead byte without a trail that fits (taking
// the byte after it along); the code page of other systems gives U+FFFD for each byte that is
// no character. Both read 0xFF as the private-use U+F8F5.
#ifdef _WIN32
constexpr std::u16string_view kLoneLead = u"?";
constexpr std::u16string_view kLeadAndSpace = u"?";
#else
constexpr std::u16string_view kLoneLead = u"\uFFFD";
constexpr std::u16string_view kLeadAndSpace = u"\uFFFD ";
#endif
constexpr std::u16string_view kByteFF = u"\uF8F5";

TEST_F(CodePageTest, BytesThatFormNoCharacterBecomeOneCharacterEach) {
  const std::u16string lone(kLoneLead);
  const std::u16string ff(kByteFF);
  const Row rows[] = {
      {u"中文", "\xD6\xD0\xCE\xC4"},
      {lone, "\x81"},  // a lead byte at the end
      {std::u16string(kLeadAndSpace),
       "\x81\x20"},                           // a lead byte with a trail that cannot follow it
      {ff + ff, "\xFF\xFF"},                  // never a lead byte
      {u"\uE000\uE766", "\xAA\xA1\xA2\xAB"},  // user-defined areas
      {u"a" + ff + u"\u4E02", "a\xFF\x81\x40"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FromNarrow(row.bytes), row.text) << ToUtf8(row.text);
  }
}

// Whether bytes are code page 936 at all is the same question on every system, whatever each
// would make of a bad byte.
TEST_F(CodePageTest, OnlyBytesThatAllFormCharactersReadAsValid) {
  const std::u16string ff(kByteFF);
  const Row valid[] = {
      {u"", ""},
      {u"http://a/b", "http://a/b"},
      {u"中文", "\xD6\xD0\xCE\xC4"},
      {u"a" + ff + u"\u4E02\uE000", "a\xFF\x81\x40\xAA\xA1"},
  };
  for (const auto& row : valid) {
    EXPECT_EQ(FromValidNarrow(row.bytes), row.text) << ToUtf8(row.text);
  }
  for (const std::string bytes : {"\x81", "\x81\x20", "http://a/\xD6", "\xD6\xD0\x81\x7F"}) {
    EXPECT_EQ(FromValidNarrow(bytes), std::nullopt) << bytes;
  }
}

TEST_F(CodePageTest, OtherCodePagesAndUnknownOnes) {
#ifdef _WIN32
  ASSERT_FALSE(SetNarrowCodePage(1252));  // the system's own page cannot be swapped
  GTEST_SKIP() << "the ANSI code page is the system's";
#endif
  ASSERT_TRUE(SetNarrowCodePage(1252));
  EXPECT_EQ(NarrowCodePage(), 1252u);
  EXPECT_EQ(ToNarrow(u"é中"), "\xE9?");
  EXPECT_EQ(FromNarrow("\xE9\x80"), u"é€");

  EXPECT_FALSE(SetNarrowCodePage(99999));
  EXPECT_EQ(NarrowCodePage(), 1252u);
  EXPECT_FALSE(SetNarrowCodePage(65001));  // more than two bytes a character
  EXPECT_EQ(ToNarrow(u"é"), "\xE9");
}

}  // namespace
}  // namespace zentrova::codepage
