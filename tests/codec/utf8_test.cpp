// UTF-8 both ways, with ASCII runs against every other kind of character on either side of them:
// the conversions take ASCII a run at a time and the rest a character at a time.
#include "codec/utf8.h"

#include <gtest/gtest.h>

namespace zentrova {
namespace {

TEST(Utf8Test, ConvertsBothWaysWhereverAsciiRunsMeetOtherCharacters) {
  const struct {
    const char* name;
    std::u16string text;
    std::string utf8;
  } rows[] = {
      {"empty", u"", ""},
      {"ASCII only", u"http://a/b", "http://a/b"},
      {"CJK between ASCII", u"a/中文/b", "a/\xe4\xb8\xad\xe6\x96\x87/b"},
      {"two-byte at both ends", u"é-x-é", "\xc3\xa9-x-\xc3\xa9"},
      {"pair after ASCII", u"x\U0001F600", "x\xf0\x9f\x98\x80"},
      {"pair before ASCII", u"\U0001F600x", "\xf0\x9f\x98\x80x"},
      {"DEL and U+0080", u"\x7f\x80", "\x7f\xc2\x80"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ToUtf8(row.text), row.utf8) << row.name;
    std::string appended = "kept";
    AppendUtf8(row.text, appended);
    EXPECT_EQ(appended, "kept" + row.utf8) << row.name;
    EXPECT_EQ(FromUtf8(row.utf8), row.text) << row.name;
    EXPECT_EQ(FromValidUtf8(row.utf8), row.text) << row.name;
  }
}

TEST(Utf8Test, LoneSurrogatesAndBadBytesBecomeReplacementCharacters) {
  const struct {
    const char* name;
    std::u16string text;
    std::string utf8;
  } lone[] = {
      {"high surrogate before ASCII",
       u"a\xd83d"
       u"b",
       "a\xef\xbf\xbd"
       "b"},
      {"low surrogate after ASCII", u"a\xde00", "a\xef\xbf\xbd"},
      {"high surrogate at the end", u"\xd83d", "\xef\xbf\xbd"},
  };
  for (const auto& row : lone) EXPECT_EQ(ToUtf8(row.text), row.utf8) << row.name;

  const struct {
    const char* name;
    std::string utf8;
    std::u16string text;
  } bad[] = {
      {"stray continuation between ASCII",
       "a\x80"
       "b",
       u"a\xfffd"
       u"b"},
      {"cut-off sequence before ASCII",
       "\xe4\xb8"
       "b",
       u"\xfffd\xfffd"
       u"b"},
      {"overlong slash", "a\xc0\xaf", u"a\xfffd\xfffd"},
  };
  for (const auto& row : bad) {
    EXPECT_EQ(FromUtf8(row.utf8), row.text) << row.name;
    EXPECT_FALSE(FromValidUtf8(row.utf8)) << row.name;
  }
}

}  // namespace
}  // namespace zentrova
