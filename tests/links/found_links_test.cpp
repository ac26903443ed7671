// Lines as people find them, through the pure list conversions.
#include "links/found_links.h"

#include <gtest/gtest.h>

#include "codec/code_page.h"
#include "codec/utf8.h"

namespace zentrova::links {
namespace {

using Kind = LineResult::Kind;

struct Row {
  const char* name;
  std::u16string line;
  Charset charset;
  Kind kind;
  std::u16string text;  // the result, or a part of the reason for a failure
};

void Check(const Row& row, const LineResult& result) {
  EXPECT_EQ(result.kind, row.kind) << row.name << ": " << result.why;
  if (row.kind == Kind::kFailed) {
    EXPECT_NE(result.why.find(ToUtf8(row.text)), std::string::npos)
        << row.name << ": " << result.why;
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

TEST_F(FoundLinksTest, MakesLinksAsTheWindowDoesOnOneLine) {
  constexpr auto kAuto = Charset::kAuto;
  const std::u16string longAddress = u"http://h/" + std::u16string(200, u'a');
  const Row rows[] = {
      {"thunder", u"http://a/b", kAuto, Kind::kConverted, u"thunder://QUFodHRwOi8vYS9iWlo="},
      {"thunder, scheme in capitals", u"HTTP://a/b", kAuto, Kind::kConverted,
       u"thunder://QUFodHRwOi8vYS9iWlo="},
      {"address in text", u"see https://x/y here", kAuto, Kind::kConverted,
       u"thunder://QUFodHRwczovL3gveVpa"},
      {"gbk by default", u"http://a/中", kAuto, Kind::kConverted,
       u"thunder://QUFodHRwOi8vYS/W0Fpa"},
      {"utf-8 on request", u"http://a/中", Charset::kUtf8, Kind::kConverted,
       u"thunder://QUFodHRwOi8vYS/kuK1aWg=="},
      {"not in 936", u"http://a/😀", kAuto, Kind::kFailed, u"U+1F600"},
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

}  // namespace
}  // namespace zentrova::links
