// What each kind of answer tells of an address: the table people's lists meet.
#include "checks/verdict.h"

#include <gtest/gtest.h>

#include <string>

namespace zentrova::checks {
namespace {

struct AnswerCase {
  const char* what;
  const char* address;
  Answer answer;
  State state;
  std::optional<std::uint64_t> size;
  std::optional<std::string> type;
  bool hasReason;
};

Answer Http(int status, std::string type = "", std::string length = "", std::string range = "") {
  Answer answer;
  answer.status = status;
  answer.type = std::move(type);
  answer.contentLength = std::move(length);
  answer.contentRange = std::move(range);
  return answer;
}

Answer Ftp(int status, std::string size = "") {
  Answer answer = Http(status, "", std::move(size));
  answer.ftp = true;
  return answer;
}

Answer Failed(Trouble trouble) {
  Answer answer;
  answer.trouble = trouble;
  return answer;
}

TEST(VerdictTest, EachAnswerGivesItsState) {
  const char* const mkv = "http://h.example/v/film.MKV?x=1";
  const AnswerCase cases[] = {
      {"a file with its size and type", mkv, Http(200, "video/x-matroska", "734003200"),
       State::kAlive, 734003200, "video/x-matroska", false},
      {"the ranged answer's size is its range's total", "http://h.example/a.zip",
       Http(206, "Application/Zip; q=1", "1", "bytes 0-0/5000"), State::kAlive, 5000,
       "application/zip", false},
      {"a ranged answer whose total is unknown", "http://h.example/a.zip",
       Http(206, "application/zip", "1", "bytes 0-0/*"), State::kAlive, std::nullopt,
       "application/zip", false},
      {"a length that is no number is no size", "http://h.example/a.zip", Http(200, "", "12abc"),
       State::kAlive, std::nullopt, std::nullopt, false},
      {"a page where a page is asked for", "http://h.example/forum/thread",
       Http(200, "text/html; charset=gbk"), State::kAlive, std::nullopt, "text/html", false},
      {"a page where a file is named", mkv, Http(200, "text/html; charset=utf-8", "5120"),
       State::kDead, std::nullopt, "text/html", true},
      {"a removed file's page as XHTML", "http://h.example/setup.exe",
       Http(200, "application/xhtml+xml"), State::kDead, std::nullopt, "application/xhtml+xml",
       true},
      {"404", mkv, Http(404), State::kDead, std::nullopt, std::nullopt, true},
      {"410", mkv, Http(410), State::kDead, std::nullopt, std::nullopt, true},
      {"401", mkv, Http(401), State::kUnknown, std::nullopt, std::nullopt, true},
      {"403", mkv, Http(403), State::kUnknown, std::nullopt, std::nullopt, true},
      {"500", mkv, Http(500), State::kUnknown, std::nullopt, std::nullopt, true},
      {"503", mkv, Http(503), State::kUnknown, std::nullopt, std::nullopt, true},
      {"another 4xx", mkv, Http(429), State::kUnknown, std::nullopt, std::nullopt, true},
      {"ftp SIZE answered", "ftp://f.example/a.rar", Ftp(213, "42"), State::kAlive, 42,
       std::nullopt, false},
      {"ftp 550", "ftp://f.example/a.rar", Ftp(550), State::kDead, std::nullopt, std::nullopt,
       true},
      {"ftp login refused", "ftp://f.example/a.rar", Ftp(530), State::kUnknown, std::nullopt,
       std::nullopt, true},
      {"no such host", mkv, Failed(Trouble::kNoSuchHost), State::kDead, std::nullopt, std::nullopt,
       true},
      {"connection refused", mkv, Failed(Trouble::kConnectionRefused), State::kDead, std::nullopt,
       std::nullopt, true},
      {"time-out", mkv, Failed(Trouble::kTimeout), State::kUnknown, std::nullopt, std::nullopt,
       true},
      {"TLS", mkv, Failed(Trouble::kTls), State::kUnknown, std::nullopt, std::nullopt, true},
      {"too many redirects", mkv, Failed(Trouble::kTooManyRedirects), State::kUnknown, std::nullopt,
       std::nullopt, true},
      {"a broken answer", mkv, Failed(Trouble::kBrokenAnswer), State::kUnknown, std::nullopt,
       std::nullopt, true},
      {"the proxy failed", mkv, Failed(Trouble::kProxyFailed), State::kUnknown, std::nullopt,
       std::nullopt, true},
      {"this machine", mkv, Failed(Trouble::kThisMachine), State::kRefused, std::nullopt,
       std::nullopt, true},
      {"a private network", mkv, Failed(Trouble::kPrivateNetwork), State::kRefused, std::nullopt,
       std::nullopt, true},
  };
  for (const AnswerCase& c : cases) {
    SCOPED_TRACE(c.what);
    const Verdict verdict = Judge(c.answer, c.address);
    EXPECT_EQ(verdict.state, c.state);
    EXPECT_EQ(verdict.size, c.size);
    EXPECT_EQ(verdict.type, c.type);
    EXPECT_EQ(verdict.reason != nullptr, c.hasReason);
    EXPECT_EQ(verdict.status.has_value(), c.answer.trouble == Trouble::kNone);
  }
}

TEST(VerdictTest, TheFinalAddressIsGivenOnlyWhereItDiffers) {
  Answer answer = Http(200, "application/zip");
  answer.final = "http://h.example/a.zip";
  EXPECT_FALSE(Judge(answer, "http://h.example/a.zip").final);
  answer.final = "http://mirror.example/a.zip";
  EXPECT_EQ(Judge(answer, "http://h.example/a.zip").final, "http://mirror.example/a.zip");
  // A download page that ends in the file's page: the file's name is where it led.
  answer.type = "text/html";
  answer.final = "http://mirror.example/gone.rar";
  EXPECT_EQ(Judge(answer, "http://h.example/get?id=7").state, State::kDead);
}

TEST(VerdictTest, OnlyServersAreAsked) {
  struct Case {
    const char* address;
    std::optional<State> state;
  };
  const Case cases[] = {
      {"http://h.example/a", std::nullopt},
      {"HTTPS://h.example/a", std::nullopt},
      {"ftp://h.example/a", std::nullopt},
      {"ed2k://|file|a.mkv|1|0123456789ABCDEF0123456789ABCDEF|/", State::kUnknown},
      {"magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567", State::kUnknown},
      {"mailto:a@example", State::kUnknown},
      {"httpx://h.example/", State::kUnknown},
      {"just words", State::kUnknown},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    const std::optional<Verdict> verdict = VerdictWithoutAsking(c.address);
    ASSERT_EQ(verdict.has_value(), c.state.has_value());
    if (verdict) {
      EXPECT_EQ(verdict->state, *c.state);
      EXPECT_NE(verdict->reason, nullptr);
    }
  }
}

TEST(VerdictTest, FileNamesAreToldFromPages) {
  struct Case {
    const char* address;
    bool file;
  };
  const Case cases[] = {
      {"http://h.example/a.mkv", true},
      {"http://h.example/A.RAR", true},
      {"http://h.example/d/x.part1.rar?k=v", true},
      {"http://h.example/a.exe#top", true},
      {"http://h.example/", false},
      {"http://h.example", false},
      {"http://h.example/index.html", false},
      {"http://h.example/thread.php?f=a.mkv", false},
      {"http://h.example/dir.mkv/", false},
      {"http://h.example/a.", false},
      {"http://files.zip/", false},
      {"ftp://h.example/pub/a.iso", true},
  };
  for (const Case& c : cases) EXPECT_EQ(NamesAFile(c.address), c.file) << c.address;
}

TEST(VerdictTest, RangeTotals) {
  EXPECT_EQ(RangeTotal("bytes 0-0/1234"), 1234u);
  EXPECT_EQ(RangeTotal("bytes 0-0/ 18446744073709551615"), 18446744073709551615u);
  EXPECT_FALSE(RangeTotal("bytes 0-0/*"));
  EXPECT_FALSE(RangeTotal("bytes 0-0"));
  EXPECT_FALSE(RangeTotal("bytes 0-0/-5"));
  EXPECT_FALSE(RangeTotal("bytes 0-0/18446744073709551616"));
}

TEST(VerdictTest, OnlyAliveAndUnknownAreWorthDownloading) {
  EXPECT_TRUE(WorthDownloading(State::kAlive));
  EXPECT_TRUE(WorthDownloading(State::kUnknown));
  EXPECT_FALSE(WorthDownloading(State::kDead));
  EXPECT_FALSE(WorthDownloading(State::kRefused));
}

}  // namespace
}  // namespace zentrova::checks
