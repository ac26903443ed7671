// A list's checks: many at once within the limits, each address once, verdicts in the list's
// order.
#include "checks/check_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fake_servers.h"

namespace zentrova::checks {
namespace {

CheckSettings NoProxies() {
  CheckSettings settings;
  settings.environment = [](const char*) { return std::optional<std::string>(); };
  return settings;
}

// Runs every line of `lines` through a run against `servers`; returns each verdict's state
// name, "-" for a line without one.
std::vector<std::string> StatesOf(FakeServers& servers, const std::vector<std::string>& lines) {
  const CheckSettings settings = NoProxies();
  CheckRun run(servers, settings);
  std::vector<std::string> states;
  for (const std::string& line : lines) {
    run.Add(line.empty() ? std::nullopt : std::optional<std::string>(line));
  }
  for (int turn = 0; run.Waiting() > 0 && turn < 10000; ++turn) {
    while (run.FrontReady()) {
      const std::optional<Verdict> verdict = run.TakeFront();
      states.emplace_back(verdict ? StateName(verdict->state) : "-");
    }
    if (run.Waiting() > 0) run.Turn(std::chrono::milliseconds(0));
  }
  EXPECT_EQ(run.Waiting(), 0u);
  return states;
}

TEST(CheckRunTest, VerdictsComeInTheListsOrder) {
  for (const bool newestFirst : {false, true}) {
    FakeServers servers;
    servers.newestFirst = newestFirst;
    servers.endAtOnce = 3;
    servers.Answer("http://a.example/1.zip", false, Status(200));
    servers.Answer("http://b.example/2.zip", false, Status(404));
    servers.Answer("http://c.example/3.zip", false, Status(302, "", "", "/moved.zip"));
    servers.Answer("http://c.example/moved.zip", false, Status(503));
    const std::vector<std::string> states =
        StatesOf(servers, {"http://a.example/1.zip", "", "http://b.example/2.zip",
                           "http://localhost/x", "http://c.example/3.zip", "magnet:?xt=urn:btih:0",
                           "http://a.example/1.zip", "http://nothing.example/"});
    EXPECT_EQ(states, (std::vector<std::string>{"alive", "-", "dead", "refused", "unknown",
                                                "unknown", "alive", "dead"}))
        << newestFirst;
  }
}

TEST(CheckRunTest, AtMostEightAtOnceAndTwoForOneHost) {
  FakeServers servers;
  servers.endAtOnce = 1;
  std::vector<std::string> lines;
  for (int i = 0; i < 60; ++i) {
    const std::string url =
        "http://h" + std::to_string(i % 6) + ".example/" + std::to_string(i) + ".zip";
    servers.Answer(url, false, Status(200));
    lines.push_back(url);
  }
  const std::vector<std::string> states = StatesOf(servers, lines);
  EXPECT_EQ(std::count(states.begin(), states.end(), "alive"), 60);
  EXPECT_EQ(servers.mostAtOnce(), kMostAtOnce);
  EXPECT_EQ(servers.mostForOneHost(), kMostForOneHost);
}

TEST(CheckRunTest, TheSameAddressIsAskedOnce) {
  FakeServers servers;
  servers.endAtOnce = 8;
  const std::string a = "http://a.example/f.zip";
  servers.Answer(a, false, Status(405));
  servers.Answer(a, true, Status(206));
  // In flight, and after its verdict is known.
  const std::vector<std::string> states = StatesOf(servers, {a, a, "http://b.example/", a});
  EXPECT_EQ(states, (std::vector<std::string>{"alive", "alive", "dead", "alive"}));
  const auto asked = std::count_if(servers.started().begin(), servers.started().end(),
                                   [&](const Hop& hop) { return hop.url == a; });
  EXPECT_EQ(asked, 2);  // HEAD and the ranged GET, for all three lines
}

TEST(CheckRunTest, LinesWithoutAddressesWaitForNothing) {
  FakeServers servers;
  const CheckSettings settings = NoProxies();
  CheckRun run(servers, settings);
  run.Add(std::nullopt);
  run.Add("http://localhost/");
  ASSERT_TRUE(run.FrontReady());
  EXPECT_FALSE(run.TakeFront());
  ASSERT_TRUE(run.FrontReady());
  EXPECT_EQ(run.TakeFront()->state, State::kRefused);
  EXPECT_TRUE(servers.started().empty());
  EXPECT_EQ(run.Checked(), 1u);
}

}  // namespace
}  // namespace zentrova::checks
