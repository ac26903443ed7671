// The Windows transport against the servers of check_servers.py, on this machine: through the
// web server as a proxy where the address is allowed, directly where it is refused, and directly
// to this machine's outside address (which the tests' rule does not know as this machine's) for
// what only a direct connection shows: the vetted address reached, the name it carries.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "checks/check_transport.h"
#include "checks/windows_transport.h"

namespace zentrova::checks {
namespace {

using std::chrono::milliseconds;

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? "" : value;
}

std::string Folder() { return Env("ZENTROVA_CHECK_SERVERS"); }
std::string Outside() { return Env("ZENTROVA_OUTSIDE_ADDRESS"); }

std::string Read(const std::string& name) {
  std::ifstream file(Folder() + "\\" + name);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

std::map<std::string, std::string> Ports() {
  std::map<std::string, std::string> ports;
  std::istringstream lines(Read("ports"));
  std::string name, port;
  while (lines >> name >> port) ports[name] = port;
  return ports;
}

const std::map<std::string, std::string>& Port() {
  static const std::map<std::string, std::string> ports = Ports();
  return ports;
}

std::string Proxy() { return "http://127.0.0.1:" + Port().at("web"); }

milliseconds Patience() {
  const std::string seconds = Env("ZENTROVA_PATIENCE");
  return milliseconds{(seconds.empty() ? 60 : std::stoi(seconds)) * 4000};
}

// Names the tests' own resolver knows: where a real one would answer from DNS.
windows::Resolver TestResolver() {
  return [](const std::string& host) -> std::vector<lists::IpAddress> {
    const std::string text = Outside();
    const auto outside = lists::IpLiteral(std::u16string(text.begin(), text.end()));
    const auto loopback = lists::IpLiteral(u"127.0.0.1");
    if (host == "files.example") return {*outside};
    if (host == "rebinding.example") return {*outside, *loopback};
    if (host == "loopback.example") return {*loopback};
    if (host == "v6-loopback.example") return {*lists::IpLiteral(u"::1")};
    if (host == "mapped.example") return {*lists::IpLiteral(u"::ffff:127.0.0.1")};
    if (host == "slow.example") {
      // Longer than any hop waits: the lookup is left to answer when it will.
      std::this_thread::sleep_for(Patience());
      return {*outside};
    }
    return windows::SystemResolver()(host);
  };
}

const char* const kAgent = "Zentrova-test/1.0";

// The time of a request that no server will ever answer: long enough that a loaded machine still
// makes every other request of the same batch in time, since those share the transport.
constexpr milliseconds kUnanswered{20000};

// Starts every hop at once and waits for all their replies, for as long as patience allows.
std::vector<Reply> AskAll(Transport& transport, std::vector<Hop> hops) {
  std::vector<Reply> replies(hops.size());
  std::vector<bool> came(hops.size(), false);
  for (std::size_t i = 0; i < hops.size(); ++i) {
    hops[i].id = i;
    transport.Start(hops[i]);
  }
  std::size_t left = hops.size();
  const auto deadline = std::chrono::steady_clock::now() + Patience();
  while (left > 0 && std::chrono::steady_clock::now() < deadline) {
    for (auto& [id, reply] : transport.Wait(milliseconds{500})) {
      EXPECT_LT(id, hops.size());
      EXPECT_FALSE(came.at(id)) << "two replies for " << hops[id].url;
      came.at(id) = true;
      replies.at(id) = std::move(reply);
      --left;
    }
  }
  EXPECT_EQ(left, 0u) << "replies missing";
  return replies;
}

Hop MakeHop(std::string url, bool ranged, std::optional<std::string> proxy,
            milliseconds timeout = milliseconds{20000}) {
  Hop hop;
  hop.url = std::move(url);
  hop.ranged = ranged;
  hop.proxy = std::move(proxy);
  hop.timeout = timeout;
  return hop;
}

struct HttpCase {
  std::string path;
  bool ranged;
  int status;
  std::string type, length, range, location;
  std::string method;  // as the server saw it
};

// What the server said, as the reply hands it back, whether through the proxy or directly.
void ExpectAnswers(const std::vector<HttpCase>& cases, const std::string& base,
                   const std::optional<std::string>& proxy, const AddressRule& rule) {
  const auto transport = windows::WinHttpTransport(rule, kAgent, TestResolver());
  std::vector<Hop> hops;
  for (const HttpCase& c : cases) hops.push_back(MakeHop(base + c.path, c.ranged, proxy));
  const std::vector<Reply> replies = AskAll(*transport, hops);
  const std::string requests = Read("requests");
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const HttpCase& c = cases[i];
    const Answer& answer = replies[i].answer;
    SCOPED_TRACE(hops[i].url + (c.ranged ? " ranged" : " HEAD"));
    EXPECT_EQ(answer.trouble, Trouble::kNone);
    EXPECT_EQ(answer.status, c.status);
    EXPECT_FALSE(answer.ftp);
    EXPECT_EQ(answer.type, c.type);
    EXPECT_EQ(answer.contentLength, c.length);
    EXPECT_EQ(answer.contentRange, c.range);
    EXPECT_EQ(replies[i].location, c.location);
    EXPECT_EQ(answer.final, hops[i].url);
    EXPECT_FALSE(replies[i].closedWithoutAnswer);
    const std::string seen = c.method + " " + c.path + " ";
    const std::size_t line = requests.find(seen);
    ASSERT_NE(line, std::string::npos) << "the server never saw " << seen << " in\n" << requests;
    const std::string heard = requests.substr(line, requests.find('\n', line) - line);
    EXPECT_NE(heard.find(std::string("ua=") + kAgent), std::string::npos) << heard;
    EXPECT_NE(heard.find(c.ranged ? "range=bytes=0-0" : "range=None"), std::string::npos) << heard;
    EXPECT_NE(heard.find("cookie=None"), std::string::npos) << heard;
  }
}

const std::vector<HttpCase>& ServerAnswers(const std::string& tag) {
  static std::map<std::string, std::vector<HttpCase>> tables;
  auto& cases = tables[tag];
  if (cases.empty()) {
    // Each table's paths carry its tag in the query, so that its requests are found in the log.
    const std::string q = "?" + tag;
    cases = {
        {"/live.bin" + q, false, 200, "application/x-rar-compressed", "1234", "", "", "HEAD"},
        {"/live.bin" + q + "-ranged", true, 206, "application/x-rar-compressed", "1",
         "bytes 0-0/1234", "", "GET"},
        {"/missing.bin" + q, false, 404, "text/html", "0", "", "", "HEAD"},
        {"/no-head/live.bin" + q, false, 405, "", "0", "", "", "HEAD"},
        {"/no-head/live.bin" + q + "-ranged", true, 206, "application/x-rar-compressed", "1",
         "bytes 0-0/1234", "", "GET"},
        {"/moved" + q, false, 302, "", "0", "", "/live.bin?from=moved", "HEAD"},
        // A Location comes back in the bytes it was sent in, whatever the system's code page.
        {"/moved-utf8" + q, false, 301, "", "0", "", "/\xE4\xB8\x8B\xE8\xBD\xBD.bin", "HEAD"},
        {"/moved-gbk" + q, false, 301, "", "0", "", "/\xCF\xC2\xD4\xD8.bin", "HEAD"},
        // Bytes that form no characters of the code page (UTF-8's "下" then "." in GBK) come back
        // too: a plain answer's own bytes are read from the relay, not WinHTTP's reading of them.
        {"/moved-utf8-odd" + q, false, 301, "", "0", "", "/\xE4\xB8\x8B.bin", "HEAD"},
    };
  }
  return cases;
}

TEST(WindowsTransport, HandsBackWhatTheServerSaidThroughTheProxy) {
  ExpectAnswers(ServerAnswers("proxied"), "http://files.example", Proxy(), AddressRule{});
}

TEST(WindowsTransport, HandsBackWhatTheServerSaidDirectly) {
  if (Outside().empty()) GTEST_SKIP() << "this machine has no address but loopback";
  ExpectAnswers(ServerAnswers("direct"), "http://files.example:" + Port().at("web"), std::nullopt,
                AddressRule{});
  // The connection went to the vetted address, and the request named the host all the same.
  EXPECT_NE(Read("requests").find("HEAD /live.bin?direct host=files.example:" + Port().at("web")),
            std::string::npos)
      << Read("requests");
}

// Where nothing may be asked: this machine under every spelling and by names that lead here.
// A server that ignores Range starts sending the whole file: the check takes the head and goes,
// directly and through the proxy, and the server gets to send little of it.
TEST(WindowsTransport, LeavesTheBodyUnread) {
  if (Outside().empty()) GTEST_SKIP() << "this machine has no address but loopback";
  const auto transport = windows::WinHttpTransport(AddressRule{}, kAgent, TestResolver());
  const std::vector<Reply> replies =
      AskAll(*transport,
             {MakeHop("http://files.example:" + Port().at("web") + "/whole", true, std::nullopt),
              MakeHop("http://files.example/whole", true, Proxy())});
  for (const Reply& reply : replies) {
    EXPECT_EQ(reply.answer.trouble, Trouble::kNone);
    EXPECT_EQ(reply.answer.status, 200);
    EXPECT_EQ(reply.answer.contentLength, "268435456");
  }
  // The server notes what it sent once the connection is gone; that may come a little later.
  std::vector<long long> sent;
  const auto deadline = std::chrono::steady_clock::now() + Patience();
  while (sent.size() < 2 && std::chrono::steady_clock::now() < deadline) {
    std::istringstream lines(Read("sent"));
    sent.clear();
    for (long long bytes; lines >> bytes;) sent.push_back(bytes);
    if (sent.size() < 2) std::this_thread::sleep_for(milliseconds{100});
  }
  ASSERT_EQ(sent.size(), 2u) << "the server never saw the connections close";
  for (const long long bytes : sent) EXPECT_LT(bytes, 64LL * 1024 * 1024) << "of 256 MiB sent";
}

TEST(WindowsTransport, RefusesThisMachineWithoutConnecting) {
  const std::string trap = Port().at("trap");
  struct Case {
    std::string url;
    Trouble trouble;
  };
  const std::vector<Case> cases = {
      {"http://127.0.0.1:" + trap + "/live.bin", Trouble::kThisMachine},
      {"http://localhost:" + trap + "/live.bin", Trouble::kThisMachine},
      {"http://[::1]:" + trap + "/live.bin", Trouble::kThisMachine},
      {"http://[::ffff:127.0.0.1]:" + trap + "/live.bin", Trouble::kThisMachine},
      {"http://loopback.example:" + trap + "/live.bin", Trouble::kThisMachine},
      {"http://v6-loopback.example:" + trap + "/live.bin", Trouble::kThisMachine},
      {"http://mapped.example:" + trap + "/live.bin", Trouble::kThisMachine},
      // A name that also gives an allowed address is refused: a second lookup could choose the
      // other one.
      {"http://rebinding.example:" + trap + "/live.bin", Trouble::kThisMachine},
      {"https://127.0.0.1:" + trap + "/live.bin", Trouble::kThisMachine},
      {"https://loopback.example:" + trap + "/live.bin", Trouble::kThisMachine},
      {"ftp://127.0.0.1:" + trap + "/live.bin", Trouble::kThisMachine},
      {"ftp://loopback.example:" + trap + "/live.bin", Trouble::kThisMachine},
      {"http://127.0.0.2:" + trap + "/live.bin", Trouble::kThisMachine},
      {"http://0.0.0.0:" + trap + "/live.bin", Trouble::kThisMachine},
  };
  for (const bool lan : {false, true}) {
    AddressRule rule;
    rule.allowLan = lan;
    const auto transport = windows::WinHttpTransport(rule, kAgent, TestResolver());
    std::vector<Hop> hops;
    for (const Case& c : cases) hops.push_back(MakeHop(c.url, false, std::nullopt));
    const std::vector<Reply> replies = AskAll(*transport, hops);
    for (std::size_t i = 0; i < cases.size(); ++i) {
      SCOPED_TRACE(cases[i].url + (lan ? " with the LAN allowed" : ""));
      EXPECT_EQ(replies[i].answer.trouble, cases[i].trouble);
      EXPECT_EQ(replies[i].answer.status, 0);
      EXPECT_EQ(replies[i].answer.final, cases[i].url);
    }
  }
  // The real transport, with the system's resolver, refuses the same.
  const auto system = SystemTransport(AddressRule{}, kAgent);
  const std::vector<Reply> replies =
      AskAll(*system, {MakeHop("http://localhost:" + trap + "/", false, std::nullopt),
                       MakeHop("http://127.0.0.1:" + trap + "/", true, std::nullopt)});
  for (const Reply& reply : replies) EXPECT_EQ(reply.answer.trouble, Trouble::kThisMachine);
  EXPECT_EQ(Read("trap"), "") << "a refused request reached the listener";
}

// A proxy is the person's own: reached on this machine, where it usually runs.
TEST(WindowsTransport, ReachesTheProxyOnThisMachine) {
  const auto transport = SystemTransport(AddressRule{}, kAgent);
  const std::vector<Reply> replies = AskAll(
      *transport,
      {MakeHop("http://files.example/live.bin?system", false, Proxy()),
       MakeHop("http://files.example/live.bin", false, "http://127.0.0.1:" + Port().at("closed")),
       MakeHop("http://files.example/live.bin", false, "socks5h://127.0.0.1:1080"),
       // A head longer than any a file's answer needs is cut, not read on.
       MakeHop("http://files.example/big-head", false, Proxy())});
  ASSERT_EQ(replies.size(), 4u);
  EXPECT_EQ(replies[0].answer.trouble, Trouble::kNone);
  EXPECT_EQ(replies[0].answer.status, 200);
  EXPECT_EQ(replies[1].answer.trouble, Trouble::kProxyFailed);
  // WinHTTP speaks to HTTP proxies only: a SOCKS proxy is reported, never gone around.
  EXPECT_EQ(replies[2].answer.trouble, Trouble::kProxyFailed);
  EXPECT_EQ(replies[3].answer.trouble, Trouble::kBrokenAnswer);
  EXPECT_EQ(replies[3].answer.status, 0);
  EXPECT_EQ(Read("trap"), "");
}

// How a request through the proxy that gets no status ends.
TEST(WindowsTransport, TellsWhyNoAnswerCameThroughTheProxy) {
  struct Case {
    Hop hop;
    Trouble trouble;
    bool closedWithoutAnswer;
  };
  const std::string silent = "http://127.0.0.1:" + Port().at("silent");
  const std::vector<Case> cases = {
      {MakeHop("http://files.example/live.bin", false, silent, kUnanswered),
       Trouble::kTimeout, false},
      {MakeHop("https://files.example/live.bin", false, silent, kUnanswered),
       Trouble::kTimeout, false},
      // Each field comes soon enough for any one read's time; the hop's time ends it all the same.
      {MakeHop("http://files.example/drip", false, Proxy(), kUnanswered), Trouble::kTimeout,
       false},
      {MakeHop("http://files.example/hang-up", false, Proxy()), Trouble::kBrokenAnswer, true},
      {MakeHop("http://files.example/live.bin", false, "http://no-such-host.invalid:8080"),
       Trouble::kProxyFailed, false},
      {MakeHop("http://files.example/live.bin", false, "https://127.0.0.1:" + Port().at("web")),
       Trouble::kProxyFailed, false},
  };
  const auto transport = windows::WinHttpTransport(AddressRule{}, kAgent, TestResolver());
  std::vector<Hop> hops;
  for (const Case& c : cases) hops.push_back(c.hop);
  const std::vector<Reply> replies = AskAll(*transport, hops);
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].hop.url + " through " + *cases[i].hop.proxy);
    EXPECT_EQ(replies[i].answer.trouble, cases[i].trouble);
    EXPECT_EQ(replies[i].answer.status, 0);
    EXPECT_EQ(replies[i].closedWithoutAnswer, cases[i].closedWithoutAnswer);
  }
}

// Wait returns when its time is up though nothing has ended.
TEST(WindowsTransport, WaitsNoLongerThanAsked) {
  if (Outside().empty()) GTEST_SKIP() << "this machine has no address but loopback";
  const auto transport = windows::WinHttpTransport(AddressRule{}, kAgent, TestResolver());
  Hop hop = MakeHop("http://" + Outside() + ":" + Port().at("silent") + "/", false, std::nullopt,
                    kUnanswered);
  hop.id = 7;
  transport->Start(hop);
  EXPECT_TRUE(transport->Wait(milliseconds{0}).empty());
  EXPECT_TRUE(transport->Wait(milliseconds{1}).empty());
}

// How a direct request that gets no status ends: each with its own trouble.
TEST(WindowsTransport, TellsWhyNoAnswerCame) {
  if (Outside().empty()) GTEST_SKIP() << "this machine has no address but loopback";
  const std::string outside = "http://" + Outside() + ":";
  struct Case {
    Hop hop;
    Trouble trouble;
    bool closedWithoutAnswer;
  };
  const std::vector<Case> cases = {
      {MakeHop(outside + Port().at("closed") + "/live.bin", false, std::nullopt),
       Trouble::kConnectionRefused, false},
      {MakeHop(outside + Port().at("silent") + "/live.bin", false, std::nullopt,
               kUnanswered),
       Trouble::kTimeout, false},
      {MakeHop(outside + Port().at("web") + "/hang-up", false, std::nullopt),
       Trouble::kBrokenAnswer, true},
      {MakeHop(outside + Port().at("web") + "/big-head", false, std::nullopt),
       Trouble::kBrokenAnswer, false},
      {MakeHop(outside + Port().at("web") + "/drip", false, std::nullopt, kUnanswered),
       Trouble::kTimeout, false},
      {MakeHop("http://no-such-host.invalid/live.bin", false, std::nullopt), Trouble::kNoSuchHost,
       false},
      {MakeHop("http://slow.example/live.bin", false, std::nullopt, kUnanswered),
       Trouble::kTimeout, false},
      // The certificate is checked against the name, and nobody trusts this one.
      {MakeHop("https://files.example:" + Port().at("tls") + "/live.bin", false, std::nullopt),
       Trouble::kTls, false},
  };
  const auto transport = windows::WinHttpTransport(AddressRule{}, kAgent, TestResolver());
  std::vector<Hop> hops;
  for (const Case& c : cases) hops.push_back(c.hop);
  const std::vector<Reply> replies = AskAll(*transport, hops);
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].hop.url);
    EXPECT_EQ(replies[i].answer.trouble, cases[i].trouble);
    EXPECT_EQ(replies[i].answer.status, 0);
    EXPECT_EQ(replies[i].closedWithoutAnswer, cases[i].closedWithoutAnswer);
  }
  // The TLS connection reached the vetted address and carried the name, not the address.
  EXPECT_NE(Read("sni").find("files.example"), std::string::npos) << Read("sni");
}

// https end to end where the prefix trusts the run's CA (check_transport_test.sh makes one that
// does): through the relay's own tunnel to the vetted address and through the proxy, the
// certificate checked against the name the address carries.
TEST(WindowsTransport, ChecksTheCertificateAgainstTheName) {
  if (std::getenv("ZENTROVA_TRUSTED_CA") == nullptr) {
    GTEST_SKIP() << "check_transport_test.sh runs this in a prefix that trusts its CA";
  }
  if (Outside().empty()) GTEST_SKIP() << "this machine has no address but loopback";
  struct Case {
    Hop hop;
    Trouble trouble;
    int status;
  };
  const std::string tls = Port().at("tls");
  const std::string other = Port().at("tls_other");
  const std::vector<Case> cases = {
      {MakeHop("https://files.example:" + tls + "/live.bin?tls", false, std::nullopt),
       Trouble::kNone, 200},
      {MakeHop("https://files.example:" + tls + "/live.bin?tls-ranged", true, std::nullopt),
       Trouble::kNone, 200},
      {MakeHop("https://files.example:" + tls + "/live.bin?tls-proxied", false, Proxy()),
       Trouble::kNone, 200},
      // The server's certificate is for another name.
      {MakeHop("https://files.example:" + other + "/live.bin", false, std::nullopt), Trouble::kTls,
       0},
      {MakeHop("https://files.example:" + other + "/live.bin", false, Proxy()), Trouble::kTls, 0},
      // An address names no host a certificate can be for.
      {MakeHop("https://" + Outside() + ":" + tls + "/live.bin", false, std::nullopt),
       Trouble::kTls, 0},
  };
  const auto transport = windows::WinHttpTransport(AddressRule{}, kAgent, TestResolver());
  std::vector<Hop> hops;
  for (const Case& c : cases) hops.push_back(c.hop);
  const std::vector<Reply> replies = AskAll(*transport, hops);
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].hop.url + (cases[i].hop.proxy ? " through the proxy" : ""));
    EXPECT_EQ(replies[i].answer.trouble, cases[i].trouble);
    EXPECT_EQ(replies[i].answer.status, cases[i].status);
    if (cases[i].status == 200) {
      EXPECT_EQ(replies[i].answer.type, "application/x-rar-compressed");
      EXPECT_EQ(replies[i].answer.contentLength, "1234");
    }
  }
  // Wine's WinHTTP names the whole address inside a proxy's tunnel, Windows only the path; a
  // server takes either.
  const std::string requests = Read("requests");
  for (const auto& [method, path] :
       {std::pair{"HEAD", "/live.bin?tls"}, std::pair{"GET", "/live.bin?tls-ranged"},
        std::pair{"HEAD", "/live.bin?tls-proxied"}}) {
    const std::string start = std::string("TLS ") + method + " ";
    const std::string end = std::string(path) + " HTTP/1.1\n";
    EXPECT_TRUE(requests.find(start + end) != std::string::npos ||
                requests.find(start + "https://files.example:" + tls + end) != std::string::npos)
        << method << " " << path << " in\n"
        << requests;
  }
}

TEST(WindowsTransport, AsksFtpServersWithoutDownloading) {
  if (Outside().empty()) GTEST_SKIP() << "this machine has no address but loopback";
  const std::string ftp = "ftp://" + Outside() + ":" + Port().at("ftp");
  const std::string bare = "ftp://" + Outside() + ":" + Port().at("ftp_bare");
  struct Case {
    Hop hop;
    Trouble trouble;
    int status;
    std::string length;
  };
  const std::vector<Case> cases = {
      {MakeHop(ftp + "/live.bin", false, std::nullopt), Trouble::kNone, 213, "1234"},
      {MakeHop(ftp + "/missing.bin", false, std::nullopt), Trouble::kNone, 550, ""},
      {MakeHop("ftp://reader:secret@" + Outside() + ":" + Port().at("ftp") + "/live.bin", false,
               std::nullopt),
       Trouble::kNone, 213, "1234"},
      {MakeHop("ftp://reader:wrong@" + Outside() + ":" + Port().at("ftp") + "/live.bin", false,
               std::nullopt),
       Trouble::kNone, 530, ""},
      {MakeHop("ftp://files.example:" + Port().at("ftp") + "/live.bin", false, Proxy()),
       Trouble::kNone, 213, "1234"},
      {MakeHop("ftp://files.example:" + Port().at("ftp") + "/missing.bin", false, Proxy()),
       Trouble::kNone, 550, ""},
      // Without SIZE and MDTM only a listing tells, through the proxy too.
      {MakeHop(bare + "/live.bin", false, std::nullopt), Trouble::kNone, 226, ""},
      {MakeHop(bare + "/missing.bin", false, std::nullopt), Trouble::kNone, 550, ""},
      {MakeHop("ftp://files.example:" + Port().at("ftp_bare") + "/live.bin", false, Proxy()),
       Trouble::kNone, 226, ""},
      // Only an HTTP proxy carries an ftp check (by CONNECT): another kind is reported.
      {MakeHop("ftp://files.example:" + Port().at("ftp") + "/live.bin", false,
               "socks5h://127.0.0.1:" + Port().at("web")),
       Trouble::kProxyFailed, 0, ""},
      // The login's own folder is there when it lists.
      {MakeHop(ftp + "/", false, std::nullopt), Trouble::kNone, 226, ""},
      {MakeHop("ftp://files.example:" + Port().at("ftp") + "/", false, Proxy()), Trouble::kNone,
       226, ""},
      // A name that takes longer to resolve than the hop may wait.
      {MakeHop("ftp://slow.example/live.bin", false, std::nullopt, kUnanswered),
       Trouble::kTimeout, 0, ""},
      // An escaped line end would be a second command: nothing is sent.
      {MakeHop(ftp + "/live.bin%0D%0ADELE%20live.bin", false, std::nullopt), Trouble::kBrokenAnswer,
       0, ""},
      {MakeHop("ftp://" + Outside() + ":" + Port().at("closed") + "/live.bin", false, std::nullopt),
       Trouble::kConnectionRefused, 0, ""},
      {MakeHop("ftp://" + Outside() + ":" + Port().at("silent") + "/live.bin", false, std::nullopt,
               kUnanswered),
       Trouble::kTimeout, 0, ""},
  };
  const auto transport = windows::WinHttpTransport(AddressRule{}, kAgent, TestResolver());
  std::vector<Hop> hops;
  for (const Case& c : cases) hops.push_back(c.hop);
  const std::vector<Reply> replies = AskAll(*transport, hops);
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].hop.url);
    EXPECT_TRUE(replies[i].answer.ftp);
    EXPECT_EQ(replies[i].answer.trouble, cases[i].trouble);
    EXPECT_EQ(replies[i].answer.status, cases[i].status);
    EXPECT_EQ(replies[i].answer.contentLength, cases[i].length);
    EXPECT_EQ(replies[i].answer.final, cases[i].hop.url);
  }
  std::ifstream still(Folder() + "\\files\\live.bin");
  EXPECT_TRUE(still.good()) << "the file was deleted";
}

}  // namespace
}  // namespace zentrova::checks
