// What a screen reader announces for each control that takes the focus.
#include "ui/accessible_names.h"

#include <gtest/gtest.h>

#include <string_view>

namespace zentrova::ui {
namespace {

TEST(AccessibleNamesTest, BoxesAreNamedByTheirFramesAndButtonsByTheirCaptions) {
  const struct {
    std::string_view control;
    std::u16string name;
  } rows[] = {
      {"TxtRes", u"输入区域"},
      {"TxtOut", u"输出区域"},
      {"cmdDecodecmd", u"转换成普通链接"},
      {"cmdEncodeToFG", u"转换成快车链接"},
      {"cmdEncodeToXL", u"转换成迅雷链接"},
      {"cmdEncodeToXF", u"转换成旋风链接"},
      {"cmdAbout", u"关于(A)"},
      {"cmdExit", u"退出(E)"},
      {"LabMainSet(0)", u""},
      {"Picture1", u""},
  };
  for (const auto& row : rows) {
    const ControlEntry* entry = FindControl(row.control);
    ASSERT_NE(entry, nullptr) << row.control;
    EXPECT_EQ(AccessibleName(*entry), row.name) << row.control;
  }
}

TEST(AccessibleNamesTest, OnlyAboutAndExitHaveAccessKeys) {
  const std::pair<std::string_view, char16_t> rows[] = {
      {"cmdAbout", u'A'},   {"cmdExit", u'E'}, {"cmdDecodecmd", 0},
      {"cmdEncodeToFG", 0}, {"TxtRes", 0},     {"LabMainSet(0)", 0},
  };
  for (const auto& [control, key] : rows) {
    EXPECT_EQ(AccessKey(*FindControl(control)), key) << control;
  }
}

}  // namespace
}  // namespace zentrova::ui
