#include "checks/ie_proxy_list.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace zentrova::checks {
namespace {

TEST(IeProxyList, NamesTheProxyForTheAddress) {
  struct Case {
    const char* list;
    const char* bypass;
    const char* url;
    std::optional<std::string> proxy;
  };
  const Case cases[] = {
      {"127.0.0.1:7890", "", "http://a.example/x", "http://127.0.0.1:7890"},
      {"127.0.0.1:7890", "", "ftp://a.example/x", "http://127.0.0.1:7890"},
      {"http://proxy.lan:8080/", "", "https://a.example/", "http://proxy.lan:8080"},
      {"http=h:1;https=s:2;ftp=f:3", "", "http://a.example/", "http://h:1"},
      {"http=h:1;https=s:2;ftp=f:3", "", "https://a.example/", "http://s:2"},
      {"http=h:1 https=s:2 ftp=f:3", "", "ftp://a.example/", "http://f:3"},
      {"HTTPS=s:2", "", "https://a.example/", "http://s:2"},
      {"http=h:1", "", "https://a.example/", std::nullopt},
      {"https=s:2;all:9", "", "http://a.example/", "http://all:9"},
      // A SOCKS proxy is named as one, for the transport to refuse rather than to go around.
      {"socks=127.0.0.1:1080", "", "http://a.example/", "socks4://127.0.0.1:1080"},
      {"http=h:1;socks=d:1080", "", "http://a.example/", "http://h:1"},
      {"", "", "http://a.example/", std::nullopt},
      {";;", "", "http://a.example/", std::nullopt},
      {"p:1", "<local>", "http://intranet/x", std::nullopt},
      {"p:1", "<local>", "http://a.example/x", "http://p:1"},
      {"p:1", "<local>", "http://[::1]/x", "http://p:1"},
      {"p:1", "*.corp.example;10.*", "http://files.CORP.example/x", std::nullopt},
      {"p:1", "*.corp.example;10.*", "http://10.1.2.3/x", std::nullopt},
      {"p:1", "*.corp.example;10.*", "http://corp.example/x", "http://p:1"},
      {"p:1", "a.example:8080", "http://a.example:8080/x", std::nullopt},
      {"p:1", "a.example:8080", "http://a.example/x", "http://p:1"},
      {"p:1", "https://a.example", "http://a.example/x", "http://p:1"},
      {"p:1", "https://a.example", "https://a.example/x", std::nullopt},
      {"p:1", "", "magnet:?xt=urn:btih:00", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ProxyFromIeList(c.list, c.bypass, c.url), c.proxy)
        << c.list << " | " << c.bypass << " | " << c.url;
  }
}

}  // namespace
}  // namespace zentrova::checks
