// The proxy a request takes, as curl would take it from the same environment.
#include "checks/proxy_choice.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace zentrova::checks {
namespace {

Environment Of(std::map<std::string, std::string> variables) {
  return [variables](const char* name) -> std::optional<std::string> {
    const auto found = variables.find(name);
    if (found == variables.end()) return std::nullopt;
    return found->second;
  };
}

TEST(ProxyChoiceTest, EachSchemeTakesItsVariable) {
  struct Case {
    const char* what;
    std::map<std::string, std::string> environment;
    const char* url;
    std::optional<std::string> chosen;
    std::optional<std::string> proxy;
  };
  const Case cases[] = {
      {"none set", {}, "http://h.example/", std::nullopt, std::nullopt},
      {"http_proxy",
       {{"http_proxy", "127.0.0.1:7890"}},
       "http://h.example/",
       std::nullopt,
       "http://127.0.0.1:7890"},
      {"HTTP_PROXY is not read",
       {{"HTTP_PROXY", "http://p:1"}},
       "http://h.example/",
       std::nullopt,
       std::nullopt},
      {"https_proxy",
       {{"https_proxy", "http://p:2"}, {"http_proxy", "http://p:1"}},
       "https://h.example/",
       std::nullopt,
       "http://p:2"},
      {"HTTPS_PROXY",
       {{"HTTPS_PROXY", "http://p:3"}},
       "https://h.example/",
       std::nullopt,
       "http://p:3"},
      {"ftp_proxy", {{"ftp_proxy", "http://p:4"}}, "ftp://h.example/a", std::nullopt, "http://p:4"},
      {"all_proxy when the scheme has none",
       {{"all_proxy", "socks5h://p:5"}},
       "https://h.example/",
       std::nullopt,
       "socks5h://p:5"},
      {"ALL_PROXY", {{"ALL_PROXY", "p:6"}}, "ftp://h.example/", std::nullopt, "http://p:6"},
      {"the scheme's before all_proxy",
       {{"all_proxy", "p:5"}, {"http_proxy", "p:1"}},
       "http://h.example/",
       std::nullopt,
       "http://p:1"},
      {"an empty one is unset",
       {{"http_proxy", ""}, {"all_proxy", "p:5"}},
       "http://h.example/",
       std::nullopt,
       "http://p:5"},
      {"--proxy before the environment",
       {{"http_proxy", "p:1"}},
       "http://h.example/",
       "http://mine:8080",
       "http://mine:8080"},
      {"no_proxy's domain",
       {{"http_proxy", "p:1"}, {"no_proxy", "example.com"}},
       "http://a.example.com/",
       std::nullopt,
       std::nullopt},
      {"no_proxy spares no other domain",
       {{"http_proxy", "p:1"}, {"no_proxy", "example.com"}},
       "http://badexample.com/",
       std::nullopt,
       "http://p:1"},
      {"no_proxy over --proxy",
       {{"NO_PROXY", "h.example"}},
       "http://h.example/",
       "http://m:1",
       std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ProxyFor(c.url, c.chosen, Of(c.environment)), c.proxy);
  }
}

TEST(ProxyChoiceTest, NoProxyLists) {
  struct Case {
    const char* list;
    const char* host;
    bool takes;
  };
  const Case cases[] = {
      {"*", "anything.example", true},
      {"example.com", "example.com", true},
      {"example.com", "EXAMPLE.COM.", true},
      {".example.com", "www.example.com", true},
      {".example.com", "example.com", true},
      {"example.com", "notexample.com", false},
      {"a.example, b.example", "b.example", true},
      {"a.example b.example", "b.example", true},
      {"10.0.0.0/8", "10.1.2.3", true},
      {"10.0.0.0/8", "11.1.2.3", false},
      {"192.168.1.1", "192.168.1.1", true},
      {"192.168.1.1", "192.168.1.2", false},
      {"fd00::/8", "fd12::1", true},
      {"fd00::/8", "fe80::1", false},
      {"10.0.0.0/99", "10.1.2.3", false},
      {"", "h.example", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NoProxyTakes(c.list, c.host), c.takes) << c.list << " / " << c.host;
  }
}

}  // namespace
}  // namespace zentrova::checks
