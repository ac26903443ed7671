// JSON strings, one rule for every JSON the program writes: valid JSON that JavaScript source
// can hold too, every character arriving as it was.
#include "lists/json_text.h"

#include <gtest/gtest.h>

#include "codec/utf8.h"

namespace zentrova::lists {
namespace {

TEST(JsonTextTest, EscapesWhatJsonAndJavaScriptCannotTakeAndNothingElse) {
  const struct {
    std::u16string text;
    std::string json;  // UTF-8
    const char* why;
  } rows[] = {
      {u"", R"("")", "empty"},
      {u"http://h/a.zip?x=1&y=2", R"("http://h/a.zip?x=1&y=2")", "printable ASCII as it is"},
      {u"a\"b\\c/", R"("a\"b\\c/")", "a quote and a backslash, the short way; a slash stays"},
      {u"\x01\t\n\x1f", R"("\u0001\u0009\u000A\u001F")", "controls as \\u00XX, upper-case hex"},
      {u"\x7f", "\"\x7f\"", "DEL is no control JSON knows"},
      {u"a\u2028b\u2029c", R"("a\u2028b\u2029c")", "line and paragraph separators"},
      {u"\u2027\u202a", "\"\u2027\u202a\"", "their neighbours stay"},
      {u"电影 第1集.mkv", "\"电影 第1集.mkv\"", "other characters as they are"},
      {u"😀.zip", "\"😀.zip\"", "a surrogate pair as the one character it makes"},
      {u"a\xD800z", R"("a\uD800z")", "a lone high surrogate"},
      {u"a\xDC80", R"("a\uDC80")", "a lone low surrogate"},
      {u"\xDE00\xD83D", R"("\uDE00\uD83D")", "a pair in the wrong order is two lone ones"},
      {u"\xD83D\xD83D\xDE00", "\"\\uD83D😀\"", "a high one before a pair"},
  };
  for (const auto& row : rows) {
    std::string utf8 = "x";
    AppendJsonString(std::u16string_view(row.text), utf8);
    EXPECT_EQ(utf8, "x" + row.json) << row.why;
    // The same text for JavaScript's own strings: the escapes are ASCII, the rest UTF-16.
    std::u16string utf16 = u"x";
    AppendJsonString(std::u16string_view(row.text), utf16);
    EXPECT_EQ(utf16, u"x" + FromUtf8(row.json)) << row.why;
  }
}

TEST(JsonTextTest, Utf8TextFollowsTheSameRule) {
  const struct {
    std::string text;
    std::string json;
  } rows[] = {
      {"ascii", R"("ascii")"},          {"\"\\\x01", R"("\"\\\u0001")"},
      {"\xE2\x80\xA8", R"("\u2028")"},  {ToUtf8(u"电影.mkv"), "\"电影.mkv\""},
      {"a\xFFz", "\"a\xEF\xBF\xBDz\""},  // a byte of no character: U+FFFD, never a broken byte
  };
  for (const auto& row : rows) {
    std::string out;
    AppendJsonString(std::string_view(row.text), out);
    EXPECT_EQ(out, row.json) << row.json;
  }
}

}  // namespace
}  // namespace zentrova::lists
