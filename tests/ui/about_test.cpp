// The About box's text and the report of a failure, which every front end shows alike.
#include "ui/about.h"

#include <gtest/gtest.h>

namespace zentrova::ui {
namespace {

TEST(WindowTextsTest, AboutTextJoinsCreditNumberAndAddressWithTwoLineBreaks) {
  EXPECT_EQ(AboutText(), u"By Ovrani  -  QQ:10000000\r\n\r\nwww.ovrani.example");
  EXPECT_EQ(kAboutTitle, u"关于");
}

TEST(WindowTextsTest, FailureReportNamesCodeAndDescription) {
  EXPECT_EQ(FailureReport(90001, u"无法创建"), u"错误 90001：无法创建");
  EXPECT_EQ(FailureReport(-1, u"x"), u"错误 -1：x");
  EXPECT_EQ(FailureReport(0, u""), u"错误 0：");
}

}  // namespace
}  // namespace zentrova::ui
