// Which colours each control takes: the layout's on a standard face, the system's where the
// face would hide them.
#include "ui/colors.h"

#include <gtest/gtest.h>

#include <string_view>

namespace zentrova::ui {
namespace {

using S = SystemColor;

std::optional<Color> C(std::uint32_t rgb) { return Color(rgb); }
std::optional<Color> C(SystemColor color) { return Color(color); }
constexpr std::optional<Color> kNone = std::nullopt;

TEST(ColorsTest, EachControlTakesTheLayoutsOrTheSystemsColours) {
  const struct {
    std::string_view name;
    bool systemColors;
    std::optional<Color> fore, back;
  } rows[] = {
      {"Picture1", false, kNone, C(0x80A0FF)},
      {"LabMainSet(3)", false, C(0xFFFFFF), kNone},
      {"LabMainSet(4)", false, C(0xC00000), kNone},
      {"LabMainSet(0)", false, C(0xFFFFFF), C(0x808080)},
      {"LabMainSet(2)", false, C(0x404040), C(0xFFFFFF)},
      {"Shape(2)", false, C(0xFFFFFF), kNone},
      {"Line", false, C(0xFFFFFF), kNone},
      {"TxtRes", false, kNone, kNone},
      {"Picture1", true, kNone, C(S::kHighlight)},
      {"LabMainSet(3)", true, C(S::kHighlightText), kNone},
      {"LabMainSet(4)", true, C(S::kText), kNone},
      {"LabMainSet(0)", true, C(S::kText), C(S::kFace)},
      {"LabMainSet(1)", true, C(S::kText), C(S::kFace)},
      {"LabMainSet(2)", true, C(S::kText), C(S::kFace)},
      {"Shape(0)", true, C(S::kText), kNone},
      {"Shape(2)", true, C(S::kText), kNone},
      {"Line", true, C(S::kText), kNone},
      {"TxtOut", true, kNone, kNone},
      {"cmdExit", true, kNone, kNone},
      {"Img(0)", true, kNone, kNone},
  };
  for (const auto& row : rows) {
    const ControlEntry* entry = FindControl(row.name);
    ASSERT_NE(entry, nullptr) << row.name;
    const ControlColors colors = ColorsOf(*entry, row.systemColors);
    EXPECT_EQ(colors.fore, row.fore) << row.name << (row.systemColors ? " (system)" : "");
    EXPECT_EQ(colors.back, row.back) << row.name << (row.systemColors ? " (system)" : "");
  }
}

TEST(ColorsTest, DarkAndWhiteFacesHideTheLayoutsColours) {
  const struct {
    std::uint32_t face;
    bool hides;
  } rows[] = {
      {0xF0F0F0, false},  // Windows' face
      {0xEFEFEF, false},  // Qt's Fusion face
      {0xD4D0C8, false},  // the classic face
      {0xC0C0C0, false}, {0x808080, false},
      {0x7F7F7F, true},  {0x000000, true},  // high contrast black
      {0x2D2D2D, true},                     // a dark theme
      {0xFFFFFF, true},                     // high contrast white
      {0xF8F8F8, true},  {0xF7FFFF, false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FaceHidesLayoutColors(row.face), row.hides) << std::hex << row.face;
  }
}

}  // namespace
}  // namespace zentrova::ui
