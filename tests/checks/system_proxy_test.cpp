// The person's own proxy as Windows' settings name it. The settings are written by
// system_proxy_test.sh into a Wine prefix of its own, one kind a run (ZENTROVA_PROXY_SETTINGS):
// "fixed" names proxies and a bypass list, "pac" a script that WinHTTP fetches and runs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "checks/check_transport.h"

namespace zentrova::checks {
namespace {

TEST(SystemProxy, ReadsThePersonsSettings) {
  const char* kind = std::getenv("ZENTROVA_PROXY_SETTINGS");
  if (kind == nullptr) GTEST_SKIP() << "system_proxy_test.sh runs this, in a prefix of its own";
  struct Case {
    const char* url;
    std::optional<std::string> proxy;
  };
  const std::vector<Case> fixed = {
      {"http://files.example/a.rar", "http://127.0.0.1:7890"},
      {"https://files.example/a.rar", "http://127.0.0.1:7891"},
      {"ftp://files.example/a.rar", std::nullopt},
      {"http://intranet/a.rar", std::nullopt},
      {"http://nas.corp/a.rar", std::nullopt},
  };
  const std::vector<Case> pac = {
      {"http://files.example/a.rar", "http://127.0.0.1:7892"},
      {"https://files.example/a.rar", "http://127.0.0.1:7892"},
      {"http://direct.example/a.rar", std::nullopt},
  };
  const std::string settings = kind;
  ASSERT_TRUE(settings == "fixed" || settings == "pac") << settings;
  for (const Case& c : settings == "fixed" ? fixed : pac) {
    EXPECT_EQ(SystemProxy(c.url), c.proxy) << settings << ": " << c.url;
  }
}

}  // namespace
}  // namespace zentrova::checks
