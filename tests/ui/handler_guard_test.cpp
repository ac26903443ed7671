// The guard that turns whatever a failing handler throws into the report the window shows.
#include "ui/handler_guard.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <optional>
#include <stdexcept>

#include "codec/base64.h"
#include "codec/utf8.h"

namespace zentrova::ui {
namespace {

TEST(HandlerGuardTest, ReportsEachKindOfFailureAndNothingWhenAllGoesWell) {
  const struct {
    const char* name;
    std::function<void()> handler;
    std::optional<HandlerFailure> expected;
  } rows[] = {
      {"no failure", [] {}, std::nullopt},
      {"codec error", [] { throw CodecError(90001, u"部件不可用"); },
       HandlerFailure{90001, u"部件不可用"}},
      {"out of memory", [] { throw std::bad_alloc(); }, HandlerFailure{7, u"内存不足"}},
      {"other failure", [] { throw std::runtime_error("the clipboard is in use"); },
       HandlerFailure{-1, u"the clipboard is in use"}},
  };
  for (const auto& row : rows) {
    const auto failure = RunGuarded(row.handler);
    ASSERT_EQ(failure.has_value(), row.expected.has_value()) << row.name;
    if (failure) {
      EXPECT_EQ(failure->code, row.expected->code) << row.name;
      EXPECT_EQ(ToUtf8(failure->description), ToUtf8(row.expected->description)) << row.name;
    }
  }
}

TEST(HandlerGuardTest, RunsTheHandlerToItsEnd) {
  int steps = 0;
  EXPECT_FALSE(RunGuarded([&] {
    ++steps;
    ++steps;
  }));
  EXPECT_EQ(steps, 2);
}

}  // namespace
}  // namespace zentrova::ui
