// What both windows share without a toolkit: pixels from twips, the About and failure texts,
// and the guard that turns a failing handler into a report.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "codec/base64.h"
#include "codec/utf8.h"
#include "ui/about.h"
#include "ui/handler_guard.h"
#include "ui/layout.h"
#include "ui/twips.h"

namespace zentrova::ui {
namespace {

TEST(TwipsTest, ScaleWithTheDpiAndRoundToTheNearestPixel) {
  const struct {
    int twips, dpi, pixels;
  } rows[] = {
      {8415, 96, 561},  {4365, 96, 291},  {15, 96, 1},      {7, 96, 0},     {8, 96, 1},
      {8415, 120, 701}, {4365, 120, 364}, {8415, 144, 842}, {240, 144, 24}, {0, 144, 0},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ToPixels(row.twips, row.dpi), row.pixels) << row.twips << " at " << row.dpi;
  }
}

TEST(TwipsTest, TheWindowIs561By291AtStandardDpi) {
  EXPECT_EQ(ToPixels(MainWindow().clientWidth), 561);
  EXPECT_EQ(ToPixels(MainWindow().clientHeight), 291);
}

TEST(WindowTextsTest, AboutTextJoinsCreditNumberAndAddressWithTwoLineBreaks) {
  EXPECT_EQ(AboutText(), u"By Ovrani  -  QQ:10000000\r\n\r\nwww.ovrani.example");
  EXPECT_EQ(kAboutTitle, u"关于");
}

TEST(WindowTextsTest, FailureReportNamesCodeAndDescription) {
  EXPECT_EQ(FailureReport(90001, u"无法创建"), u"错误 90001：无法创建");
  EXPECT_EQ(FailureReport(-1, u"x"), u"错误 -1：x");
  EXPECT_EQ(FailureReport(0, u""), u"错误 0：");
}

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
