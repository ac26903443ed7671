// Which reading of a link's bytes a person would choose when they are valid both as UTF-8 and
// as code page 936: a table of bytes, the reading kept, and why.
#include "lists/reading_choice.h"

#include <gtest/gtest.h>

#include "codec/code_page.h"
#include "codec/utf8.h"

namespace zentrova::lists {
namespace {

class ReadingChoiceTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(codepage::SetNarrowCodePage(936)); }
};

// The reading kept for `bytes`, valid in both: "936" or "utf-8".
std::string Kept(std::string_view bytes) {
  const auto utf8 = FromValidUtf8(bytes);
  const auto gbk = codepage::FromValidNarrow(bytes);
  EXPECT_TRUE(utf8 && gbk) << "not valid in both readings";
  if (!utf8 || !gbk) return "";
  return ReadsBetterAsGbk(bytes, *utf8, *gbk) ? "936" : "utf-8";
}

TEST_F(ReadingChoiceTest, TheReadingAPersonWouldChoose) {
  const struct {
    std::string bytes;
    const char* kept;
    const char* why;
  } rows[] = {
      {"a.zip", "utf-8", "ASCII reads alike: a tie keeps UTF-8"},
      {"\xCB\xAE.mp3", "936", "水 in GBK, U+02EE in UTF-8: a short Chinese name, UTF-8 by chance"},
      {"\xC2\x84.zip", "936", "聞 in GBK, a C1 control in UTF-8, which no name shows"},
      {"\xE4\xB8\xAD\xE6\x96\x87.zip", "utf-8", "中文 in UTF-8: UTF-8 with CJK stays UTF-8"},
      {"\xF0\x9F\x98\x80.zip", "utf-8", "an emoji beyond the BMP counts with the ideographs"},
      {"caf\xC3\xA9", "utf-8", "é inside a Latin word is as plausible as GBK's ideograph: a tie"},
      {"\xE3\x80\x81thunder", "utf-8", "、 then a word: GBK would cut the word's first letter off"},
      {"\xC3\xA9", "936", "é on its own is what GBK bytes look like as UTF-8"},
      {"\xD0\x9F\xD1\x80\xD0\xB8", "936", "Cyrillic is no reading of a name here"},
      {"a\xC2\xAD"
       "b",
       "utf-8", "a soft hyphen planted in UTF-8 is that, not GBK's 颅 by chance"},
      {"\xE2\x80\x8B" "a.zip", "utf-8", "nothing beyond ASCII but a mark no one sees"},
      {"\xE2\x9D\xA4\xEF\xB8\x8F.jpg", "utf-8", "❤️: a symbol and its emoji selector"},
  };
  for (const auto& row : rows) EXPECT_EQ(Kept(row.bytes), row.kept) << row.why;
}

TEST_F(ReadingChoiceTest, CjkIsIdeographsAndWhatLiesBeyondTheBmp) {
  EXPECT_TRUE(HoldsCjk(u"a中b"));
  EXPECT_TRUE(HoldsCjk(u"㐀"));  // extension A
  EXPECT_TRUE(HoldsCjk(u"😀"));
  EXPECT_FALSE(HoldsCjk(u"ファイル"));  // kana are no ideographs
  EXPECT_FALSE(HoldsCjk(u"、。"));
  EXPECT_FALSE(HoldsCjk(u""));
}

}  // namespace
}  // namespace zentrova::lists
