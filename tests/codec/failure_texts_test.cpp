// The codec's descriptions read back into their texts and places, as a front end that speaks
// another language needs them: every text, places that hold the next piece's words, and words
// the codec did not write.
#include "codec/failure_texts.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "codec/utf8.h"

namespace zentrova::errors {
namespace {

TEST(FailureTextsTest, EveryTextReadsBackWithItsPlaces) {
  std::set<std::u16string_view> seen;
  for (const std::u16string_view text : texts::All()) {
    EXPECT_TRUE(seen.insert(text).second) << ToUtf8(text) << " twice";
    // Places that look like nothing the texts hold, each its own.
    const std::u16string described = Described(text, {u"P0", u"P1", u"P2", u"P3"});
    const auto read = ReadDescription(described);
    ASSERT_TRUE(read) << ToUtf8(described);
    EXPECT_EQ(read->text, text) << ToUtf8(described);
    for (std::size_t i = 0; i < read->places.size(); ++i) {
      EXPECT_EQ(read->places[i], u"P" + std::u16string(1, static_cast<char16_t>(u'0' + i)))
          << ToUtf8(described);
    }
  }
}

TEST(FailureTextsTest, PlacesKeepWhateverTheyHold) {
  const struct {
    std::u16string_view text;
    std::u16string name, cause;
  } rows[] = {
      // A file's name may hold the very words that follow it.
      {texts::kCannotOpenInput, u"a'：b", u"No such file or directory"},
      {texts::kWriteFailed, u"读取失败 'x'：y", u"设备上没有空间"},
      {texts::kCannotOpenOutput, u"", u""},
      {texts::kCannotGetLength, u"/proc/self/status",
       std::u16string(texts::kLengthZeroWithContent)},
  };
  for (const auto& row : rows) {
    const auto read = ReadDescription(Described(row.text, {row.name, row.cause}));
    ASSERT_TRUE(read) << ToUtf8(row.name);
    EXPECT_EQ(read->text, row.text) << ToUtf8(row.name);
    EXPECT_EQ(read->places.at(0), row.name);
    EXPECT_EQ(read->places.at(1), row.cause);
  }
  // A description inside another is a place like any other, read back in its turn.
  const std::u16string inner = Described(texts::kOutsideAlphabetByte, {u"69", u"U+002A '*'"});
  const auto outer = ReadDescription(Described(texts::kBlockSkipped, {u"1", u"3", u"54", inner}));
  ASSERT_TRUE(outer);
  EXPECT_EQ(outer->text, texts::kBlockSkipped);
  EXPECT_EQ(outer->places.at(3), inner);
}

TEST(FailureTextsTest, WordsTheCodecDidNotWriteAreNotRead) {
  for (const std::u16string_view words :
       {u"", u"内存", u"内存不足!", u"溢出：", u"无法打开输入文件 'a'", u"something else"}) {
    EXPECT_FALSE(ReadDescription(words)) << ToUtf8(words);
  }
}

}  // namespace
}  // namespace zentrova::errors
