// A download as a downloader needs it: the bytes a link carried, escaped, the name a person
// reads for its file, and what kind of download it is.
#include "lists/download_address.h"

#include <gtest/gtest.h>

#include "codec/code_page.h"
#include "codec/utf8.h"

namespace zentrova::lists {
namespace {

class DownloadAddressTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(codepage::SetNarrowCodePage(936)); }
};

TEST_F(DownloadAddressTest, UriEscapesEveryByteOutsidePrintableAsciiAndTheSpace) {
  const struct {
    std::string bytes;
    std::string uri;
  } rows[] = {
      {"http://h/a.zip", "http://h/a.zip"},
      {codepage::ToNarrow(u"http://h/电影 第1集.mkv"), "http://h/%B5%E7%D3%B0%20%B5%DA1%BC%AF.mkv"},
      {ToUtf8(u"http://h/电影.mkv"), "http://h/%E7%94%B5%E5%BD%B1.mkv"},
      {"http://h/a%20b.zip?x=1&y=%E4", "http://h/a%20b.zip?x=1&y=%E4"},  // escaped already
      {std::string("\x00\x1f\x7f\x80\xff", 5), "%00%1F%7F%80%FF"},
      {"", ""},
  };
  for (const auto& row : rows) EXPECT_EQ(DownloaderUri(row.bytes), row.uri) << row.uri;
}

TEST_F(DownloadAddressTest, NameIsTheLastSegmentAsAPersonReadsItOrNone) {
  const struct {
    std::u16string address;
    std::optional<std::u16string> name;
  } rows[] = {
      {u"http://h/dir/电影 第1集.mkv", u"电影 第1集.mkv"},
      {u"http://h/a.zip?name=b.zip#top", u"a.zip"},
      {u"ftp://h/%E4%B8%AD%E6%96%87.zip", u"中文.zip"},  // UTF-8 escapes
      {u"http://h/%D6%D0%CE%C4.zip", u"中文.zip"},       // GBK escapes
      {u"http://h/%CB%AE.mp3", u"水.mp3"},  // GBK that is UTF-8 by chance, read as a person would
      {u"http://h/a%20b.zip", u"a b.zip"},
      {u"http://h/😀%20a.zip", u"😀 a.zip"},  // a pair beside an escape stays one character
      // A crawler's line whose one escape was damaged by hand (the source's own words): the
      // rest stays UTF-8, the broken bytes their escapes.
      {u"http://www.dy2018.com/d/"
       u"%5B%E7%94%B5%E5%BD%B1%E5%A4%A9%E5%A0%82www.dy2018.com%5D%E8%9A%81%E4%BA%BA2%EF%BC%9A%E9%"
       u"BB%84%E8%9C%82%E5%A5%B3%E7%8E%B0%E8%BA%ABHD%E4%B8%AD%E8%8B%B1%E5%8F%8u%AD%97.mp4",
       u"[电影天堂www.dy2018.com]蚁人2：黄蜂女现身HD中英%E5%8F%8u%AD%97.mp4"},
      {u"http://h/%E4%B8%AD%E6%96.zip", u"中%E6%96.zip"},
      {u"http://h/%FF%FE.zip", u"%FF%FE.zip"},  // neither: kept as it stands
      {u"http://h/a%2Fb.zip", u"a%2Fb.zip"},    // a folder after unescaping: kept escaped
      {u"http://h/a%5Cb", u"a%5Cb"},
      {u"http://h/%2E%2E", u"%2E%2E"},  // ".." after unescaping: kept escaped
      {u"http://h/..", std::nullopt},
      {u"http://h/a%0Ab", u"a%0Ab"},  // a line break would be an option line for aria2
      {u"http://h/a%E2%80%AEgpj.exe", u"a%E2%80%AEgpj.exe"},
      {u"http://h/dir/", std::nullopt},
      {u"http://h", std::nullopt},
      {u"http://h?x=/a.zip", std::nullopt},
      {u"magnet:?xt=urn:btih:abc&dn=a.zip", std::nullopt},
      // ed2k file links carry their file's name, escaped or not, made safe alike.
      {u"ed2k://|file|a.zip|1|h|/", u"a.zip"},
      {u"ED2K://|FILE|%E7%94%B5%E5%BD%B1.mkv|1|h|/", u"电影.mkv"},
      {u"ed2k://|file|%D6%D0%CE%C4.rmvb|1|h|/|sources,203.0.113.9:4662|/", u"中文.rmvb"},
      {u"ed2k://%7Cfile%7Ca%20b.avi%7C1%7Ch%7C/", u"a b.avi"},
      {u"ed2k://|file|..|1|h|/", std::nullopt},
      {u"ed2k://|file|a%2F..%2Fb.zip|1|h|/", u"a%2F..%2Fb.zip"},
      {u"ed2k://|file|CON|1|h|/", std::nullopt},  // a device name, which no system creates
      {u"ed2k://|file||1|h|/", std::nullopt},
      {u"ed2k://|file|a.zip", std::nullopt},
      {u"ed2k://|server|203.0.113.9|4661|/", std::nullopt},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ReadableName(row.address), row.name) << ToUtf8(row.address);
  }
}

TEST_F(DownloadAddressTest, KindIsTheSchemeInAnyCase) {
  EXPECT_EQ(DownloadKindOf(u"http://h/a.zip"), DownloadKind::kFile);
  EXPECT_EQ(DownloadKindOf(u"ftp://h/a.zip"), DownloadKind::kFile);
  EXPECT_EQ(DownloadKindOf(u"MAGNET:?xt=urn:btih:abc"), DownloadKind::kMagnet);
  EXPECT_EQ(DownloadKindOf(u"Ed2k://|file|x|1|h|/"), DownloadKind::kEd2k);
}

}  // namespace
}  // namespace zentrova::lists
