// How a list's lines become texts: a byte-order mark settles the list from its line on, the first
// line that is not ASCII decides otherwise, and a line in the other encoding is still read.
#include "lists/list_lines.h"

#include <gtest/gtest.h>

#include <vector>

#include "codec/code_page.h"
#include "codec/utf8.h"

namespace zentrova::lists {
namespace {

constexpr char kBom[] = "\xef\xbb\xbf";

TEST(ListLinesTest, EachLineIsReadAsTheListDecides) {
  ASSERT_TRUE(codepage::SetNarrowCodePage(936));
  // "łódź" in UTF-8 (C5 82 C3 B3 64 C5 BA) is valid GBK too, and GBK reads it as "艂贸d藕".
  const std::string lodz = ToUtf8(u"http://h/łódź.zip");
  const std::string gbk = codepage::ToNarrow(u"http://h/电影.mkv");
  const struct {
    const char* name;
    std::vector<std::string> lines;
    std::vector<std::optional<std::u16string>> texts;
  } rows[] = {
      {"after a byte-order mark, UTF-8 that GBK also reads",
       {kBom + lodz, lodz},
       {u"http://h/łódź.zip", u"http://h/łódź.zip"}},
      {"a mark on an ASCII first line settles the later lines",
       {std::string(kBom) + "http://h/a.zip", lodz},
       {u"http://h/a.zip", u"http://h/łódź.zip"}},
      {"a mark alone on its line", {kBom, lodz}, {u"", u"http://h/łódź.zip"}},
      {"without a mark, the reading a person would choose", {lodz}, {u"http://h/艂贸d藕.zip"}},
      {"after a mark, a line that is only GBK is still read",
       {kBom + lodz, gbk},
       {u"http://h/łódź.zip", u"http://h/电影.mkv"}},
      {"a GBK list takes a later UTF-8 line",
       {gbk, ToUtf8(u"http://h/中")},
       {u"http://h/电影.mkv", u"http://h/中"}},
      {"a line in neither encoding", {"http://h/\xff\xfe"}, {std::nullopt}},
      // Lists glued together from files: each file's mark starts a later line.
      {"a mark in mid-list is no part of its line",
       {"http://h/a.zip", std::string(kBom) + "http://h/b.zip"},
       {u"http://h/a.zip", u"http://h/b.zip"}},
      {"a mark in mid-list makes what follows UTF-8",
       {gbk, kBom + lodz, lodz},
       {u"http://h/电影.mkv", u"http://h/łódź.zip", u"http://h/łódź.zip"}},
  };
  for (const auto& row : rows) {
    ListLineReader reader;
    std::vector<std::optional<std::u16string>> texts;
    for (const std::string& line : row.lines) texts.push_back(reader.Text(line));
    ASSERT_EQ(texts.size(), row.texts.size()) << row.name;
    for (std::size_t i = 0; i < texts.size(); ++i) {
      EXPECT_EQ(texts[i].has_value(), row.texts[i].has_value()) << row.name << ", line " << i + 1;
      if (texts[i] && row.texts[i]) {
        EXPECT_EQ(ToUtf8(*texts[i]), ToUtf8(*row.texts[i])) << row.name << ", line " << i + 1;
      }
    }
  }
}

}  // namespace
}  // namespace zentrova::lists
