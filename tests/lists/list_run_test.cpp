// Lists line by line: lines cut wherever the pieces of a file happen to end, each line's bytes
// read as the list decides, and the counts.
#include "lists/list_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "codec/code_page.h"
#include "codec/utf8.h"

namespace zentrova::lists {
namespace {

using Kind = LineResult::Kind;

// The lines of `text` when it arrives in pieces of `size` characters.
template <typename Char>
std::vector<std::basic_string<Char>> LinesInPieces(std::basic_string_view<Char> text,
                                                   std::size_t size) {
  std::vector<std::basic_string<Char>> lines;
  const auto take = [&](std::basic_string_view<Char> line) { lines.emplace_back(line); };
  LineSplitter<Char> splitter;
  for (std::size_t at = 0; at < text.size(); at += size) splitter.Feed(text.substr(at, size), take);
  splitter.Feed({}, take);  // an empty read changes nothing
  splitter.Finish(take);
  return lines;
}

TEST(ListRunTest, LinesAreTheSameWhereverThePiecesEnd) {
  const struct {
    const char* name;
    std::string text;
    std::vector<std::string> lines;
  } rows[] = {
      {"empty", "", {}},
      {"one line without an end", "a", {"a"}},
      {"LF", "a\nb\n", {"a", "b"}},
      {"CR LF", "a\r\nb\r\n", {"a", "b"}},
      {"lone CR", "a\rb\r", {"a", "b"}},
      {"blank lines of each kind", "\n\r\n\r\r\n", {"", "", "", ""}},
      {"CR then LF is one end, LF then CR two", "a\r\n\rb\n\rc", {"a", "", "b", "", "c"}},
      {"last line without an end", "a\r\nbc", {"a", "bc"}},
      {"long line", std::string(300, 'x') + "\r\ny", {std::string(300, 'x'), "y"}},
  };
  for (const auto& row : rows) {
    for (std::size_t size = 1; size <= row.text.size() + 1; ++size) {
      EXPECT_EQ(LinesInPieces(std::string_view(row.text), size), row.lines)
          << row.name << ", pieces of " << size;
    }
  }
  // Typed text is cut the same way.
  EXPECT_EQ(LinesInPieces(std::u16string_view(u"中\r\n文\r"), 2),
            (std::vector<std::u16string>{u"中", u"文"}));
}

// The lines of `text` in pieces of `size` when no line may be longer than `longest`; "!" stands
// for a line refused as too long, in its place among the others.
std::vector<std::string> LimitedLines(std::string_view text, std::size_t size, std::size_t longest,
                                      std::size_t* mostHeld) {
  std::vector<std::string> lines;
  const auto take = [&](std::string_view line) { lines.emplace_back(line); };
  const auto tooLong = [&] { lines.emplace_back("!"); };
  LineSplitter<char> splitter(longest);
  for (std::size_t at = 0; at < text.size(); at += size) {
    splitter.Feed(text.substr(at, size), take, tooLong);
    *mostHeld = std::max(*mostHeld, splitter.pending());
  }
  splitter.Finish(take);
  return lines;
}

TEST(ListRunTest, ALineTooLongIsRefusedInItsPlaceAndNeverHeld) {
  const struct {
    const char* name;
    std::string text;
    std::vector<std::string> lines;
  } rows[] = {
      {"as long as allowed", "12345\nab", {"12345", "ab"}},
      {"one too long, then more", "123456\nab\n", {"!", "ab"}},
      {"too long, ended by CR LF", "1234567\r\nab", {"!", "ab"}},
      {"too long, ended by a lone CR, then a blank line", "1234567\r\rab", {"!", "", "ab"}},
      {"too long at the end, without a line end", "a\n123456789", {"a", "!"}},
      {"two in a row", "123456\n1234567\nx", {"!", "!", "x"}},
      {"much too long", std::string(1000, 'x') + "\nok\n" + std::string(6, 'y'), {"!", "ok", "!"}},
  };
  for (const auto& row : rows) {
    for (std::size_t size = 1; size <= row.text.size() + 1; ++size) {
      std::size_t mostHeld = 0;
      EXPECT_EQ(LimitedLines(row.text, size, 5, &mostHeld), row.lines)
          << row.name << ", pieces of " << size;
      EXPECT_LE(mostHeld, 5u) << row.name << ", pieces of " << size;
    }
  }
}

TEST(ListRunTest, ALineTooLongCountsAsFailedAndSaysTheLimit) {
  ListRun run(ListMode::kDecode, Charset::kAuto);
  EXPECT_EQ(run.Bytes("http://a/b").kind, Kind::kPassedThrough);
  const LineResult refused = run.TooLong();
  EXPECT_EQ(refused.kind, Kind::kFailed);
  EXPECT_EQ(Reason(refused), "the line is longer than 64 MB, more than a list converts");
  EXPECT_EQ(refused.text, u"");
  EXPECT_EQ(run.counts().lines, 2);
  EXPECT_EQ(run.counts().failed, 1);
}

TEST(ListRunTest, EachLinesBytesAreReadAsTheListDecidesAndCounted) {
  ASSERT_TRUE(codepage::SetNarrowCodePage(936));
  const std::string link = "thunder://QUFodHRwOi8vYS9iWlo=";
  const struct {
    std::string bytes;
    Kind kind;
    std::u16string text;  // the result, or a part of the reason for a failure
  } lines[] = {
      {"", Kind::kBlank, u""},
      {ToUtf8(u"1、") + link, Kind::kConverted, u"http://a/b"},
      {codepage::ToNarrow(u"下载：") + link, Kind::kConverted, u"http://a/b"},  // GBK, then
      {"http://a/\xf7\xa1\xb0\xe1\xa1\xa1.zip", Kind::kPassedThrough, u"http://a/鳌搬\u3000.zip"},
      {ToUtf8(u"http://a/中"), Kind::kPassedThrough, u"http://a/中"},  // UTF-8 again
      {"\x81\x30", Kind::kFailed, u"neither UTF-8 nor GBK"},
      {"javascript:alert(1)", Kind::kFailed, u"no special link"},
  };
  ListRun run(ListMode::kDecode, Charset::kAuto);
  for (const auto& line : lines) {
    const LineResult result = run.Bytes(line.bytes);
    EXPECT_EQ(result.kind, line.kind) << line.bytes;
    if (line.kind == Kind::kFailed) {
      EXPECT_NE(Reason(result).find(ToUtf8(line.text)), std::string::npos)
          << line.bytes << ": " << Reason(result);
    } else {
      EXPECT_EQ(ToUtf8(result.text), ToUtf8(line.text)) << line.bytes;
    }
  }
  EXPECT_EQ(run.counts().lines, 7);
  EXPECT_EQ(run.counts().converted, 2);
  EXPECT_EQ(run.counts().passedThrough, 2);
  EXPECT_EQ(run.counts().failed, 2);
}

}  // namespace
}  // namespace zentrova::lists
