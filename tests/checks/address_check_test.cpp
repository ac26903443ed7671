// The steps one address's check takes: the requests it sends and where they lead.
#include "checks/address_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_servers.h"

namespace zentrova::checks {
namespace {

// Runs the check of `address` against `servers` to its end; returns the requests it sent.
Verdict CheckedAgainst(FakeServers& servers, const std::string& address,
                       const CheckSettings& settings) {
  AddressCheck check(address, settings);
  for (int request = 0; !check.Done(); ++request) {
    EXPECT_LT(request, 40) << "the check does not end";
    if (request >= 40) break;
    std::optional<Hop> hop = check.Next(AddressCheck::Clock::now());
    servers.Start(*hop);
    auto ended = servers.Wait(std::chrono::milliseconds(0));
    check.Take(ended.at(0).second);
  }
  return check.verdict();
}

CheckSettings NoProxies() {
  CheckSettings settings;
  settings.environment = [](const char*) { return std::optional<std::string>(); };
  return settings;
}

TEST(AddressCheckTest, RequestsSentAndTheirVerdicts) {
  struct Case {
    const char* what;
    std::vector<std::tuple<std::string, bool, Reply>> answers;
    std::string address;
    State state;
    std::vector<std::string> asked;  // "HEAD url" or "GET url"
    std::optional<std::string> final;
  };
  const std::string a = "http://a.example/f.zip";
  const Case cases[] = {
      {"HEAD answers",
       {{a, false, Status(200, "application/zip", "9")}},
       a,
       State::kAlive,
       {"HEAD " + a},
       std::nullopt},
      {"405 to HEAD, then the ranged GET",
       {{a, false, Status(405)}, {a, true, Status(206, "application/zip")}},
       a,
       State::kAlive,
       {"HEAD " + a, "GET " + a},
       std::nullopt},
      {"501 to HEAD",
       {{a, false, Status(501)}, {a, true, Status(404)}},
       a,
       State::kDead,
       {"HEAD " + a, "GET " + a},
       std::nullopt},
      {"closed on HEAD",
       {{a, false, Troubled(Trouble::kBrokenAnswer, true)}, {a, true, Status(200)}},
       a,
       State::kAlive,
       {"HEAD " + a, "GET " + a},
       std::nullopt},
      {"a GET refused too is not asked a third time",
       {{a, false, Status(405)}, {a, true, Status(405)}},
       a,
       State::kUnknown,
       {"HEAD " + a, "GET " + a},
       std::nullopt},
      {"a redirect chain",
       {{a, false, Status(302, "", "", "/b/f.zip")},
        {"http://a.example/b/f.zip", false, Status(301, "", "", "../c/./f.zip?x=1")},
        {"http://a.example/c/f.zip?x=1", false, Status(307, "", "", "//m.example/f.zip")},
        {"http://m.example/f.zip", false, Status(200, "application/zip")}},
       a,
       State::kAlive,
       {"HEAD " + a, "HEAD http://a.example/b/f.zip", "HEAD http://a.example/c/f.zip?x=1",
        "HEAD http://m.example/f.zip"},
       "http://m.example/f.zip"},
      {"a redirect to this machine is refused, not asked",
       {{a, false, Status(302, "", "", "http://127.0.0.1:6800/jsonrpc")}},
       a,
       State::kRefused,
       {"HEAD " + a},
       "http://127.0.0.1:6800/jsonrpc"},
      {"a redirect to a private network",
       {{a, false, Status(303, "", "", "http://10.0.0.1/cgi-bin/reboot")}},
       a,
       State::kRefused,
       {"HEAD " + a},
       "http://10.0.0.1/cgi-bin/reboot"},
      {"a redirect to a magnet is found through peers",
       {{a, false, Status(302, "", "", "magnet:?xt=urn:btih:00")}},
       a,
       State::kUnknown,
       {"HEAD " + a},
       "magnet:?xt=urn:btih:00"},
      {"a redirect without a Location is judged as it is",
       {{a, false, Status(302)}},
       a,
       State::kUnknown,
       {"HEAD " + a},
       std::nullopt},
      {"ftp asks once",
       {{"ftp://f.example/a.rar", false, Status(550)}},
       "ftp://f.example/a.rar",
       State::kDead,
       {"HEAD ftp://f.example/a.rar"},
       std::nullopt},
      {"refused at once", {}, "http://localhost/a.zip", State::kRefused, {}, std::nullopt},
      {"peers, at once", {}, "ed2k://|file|a|1|00|/", State::kUnknown, {}, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeServers servers;
    for (const auto& [url, ranged, reply] : c.answers) servers.Answer(url, ranged, reply);
    const CheckSettings settings = NoProxies();
    const Verdict verdict = CheckedAgainst(servers, c.address, settings);
    EXPECT_EQ(verdict.state, c.state);
    EXPECT_EQ(verdict.final, c.final);
    std::vector<std::string> asked;
    for (const Hop& hop : servers.started())
      asked.push_back((hop.ranged ? "GET " : "HEAD ") + hop.url);
    EXPECT_EQ(asked, c.asked);
  }
}

TEST(AddressCheckTest, TenRedirectsAreFollowedAndNoMore) {
  for (const int hops : {10, 11}) {
    FakeServers servers;
    for (int i = 0; i < hops; ++i) {
      servers.Answer("http://r.example/" + std::to_string(i), false,
                     Status(302, "", "", "/" + std::to_string(i + 1)));
    }
    servers.Answer("http://r.example/" + std::to_string(hops), false, Status(200));
    const CheckSettings settings = NoProxies();
    const Verdict verdict = CheckedAgainst(servers, "http://r.example/0", settings);
    EXPECT_EQ(verdict.state, hops == 10 ? State::kAlive : State::kUnknown) << hops;
    EXPECT_EQ(servers.started().size(), 11u);  // the eleventh redirect is not followed
  }
}

TEST(AddressCheckTest, EachHopTakesItsProxyAndTheTimeLeft) {
  CheckSettings settings;
  settings.timeout = std::chrono::milliseconds(15000);
  settings.environment = [](const char* name) -> std::optional<std::string> {
    if (std::string(name) == "https_proxy") return "127.0.0.1:7890";
    return std::nullopt;
  };
  AddressCheck check("http://a.example/x", settings);
  const auto start = AddressCheck::Clock::now();
  const std::optional<Hop> first = check.Next(start);
  EXPECT_FALSE(first->proxy);  // no http_proxy
  EXPECT_EQ(first->timeout, std::chrono::milliseconds(15000));
  check.Take(Status(301, "", "", "https://a.example/x"));
  const std::optional<Hop> second = check.Next(start + std::chrono::milliseconds(4000));
  EXPECT_EQ(second->proxy, "http://127.0.0.1:7890");
  EXPECT_EQ(second->timeout, std::chrono::milliseconds(11000));
  // The person's proxy on this machine is reached; an address there never is.
  check.Take(Status(302, "", "", "https://localhost/x"));
  EXPECT_TRUE(check.Done());
  EXPECT_EQ(check.verdict().state, State::kRefused);
}

TEST(AddressCheckTest, LocationsResolved) {
  struct Case {
    const char* base;
    const char* location;
    const char* resolved;
  };
  const Case cases[] = {
      {"http://a.example/d/f?q", "https://b.example/g", "https://b.example/g"},
      {"http://a.example/d/f?q", "//b.example/g", "http://b.example/g"},
      {"http://a.example/d/f?q", "/g", "http://a.example/g"},
      {"http://a.example/d/f?q", "g", "http://a.example/d/g"},
      {"http://a.example/d/f?q", "../g", "http://a.example/g"},
      {"http://a.example/d/f?q", "../../../g", "http://a.example/g"},
      {"http://a.example/d/f?q", "./", "http://a.example/d/"},
      {"http://a.example/d/f?q", "?r", "http://a.example/d/f?r"},
      {"http://a.example", "g", "http://a.example/g"},
      {"http://a.example/d/f", " /电影.mkv ", "http://a.example/%E7%94%B5%E5%BD%B1.mkv"},
      {"http://a.example/d/f", "/a b", "http://a.example/a%20b"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Resolved(c.base, c.location), c.resolved) << c.base << " + " << c.location;
  }
  EXPECT_FALSE(Resolved("http://a.example/", "  "));
}

}  // namespace
}  // namespace zentrova::checks
