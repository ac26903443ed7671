#include "ui/layout.h"

#include <algorithm>
#include <array>

#include "ui/author.h"

namespace zentrova::ui {
namespace {

constexpr FontEntry kWindowFont{"Tahoma", 8.25, 400};
constexpr FontEntry kTitleFont{"Tahoma", 9, 700};
constexpr std::uint32_t kWhite = Rgb(0xFF, 0xFF, 0xFF);
constexpr std::uint32_t kGrey = Rgb(0x80, 0x80, 0x80);

const std::u16string kCredit = u"【快车+迅雷+旋风】的专用链接加密与解密   By " +
                               std::u16string(author::kName) + u"   [" +
                               std::u16string(author::kWebAddress) + u"]";

using K = ControlKind;

const std::array<ControlEntry, 22>& Controls() {
  static const std::array<ControlEntry, 22> controls = {{
      {"cmdExit", K::kButton, u"退出(&E)", 7080, 3840, 1110, 360, 12},
      {"cmdAbout", K::kButton, u"关于(&A)", 5880, 3840, 1095, 360, 11},
      {"Picture1", K::kPictureBox, u"", 0, 0, 8415, 615, 9, {}, {}, {}, Rgb(0x80, 0xA0, 0xFF)},
      {"LabMainSet(3)",
       K::kLabel,
       kCredit,
       840,
       160,
       6465,
       210,
       10,
       "Picture1",
       kTitleFont,
       kWhite,
       {},
       {},
       true},
      {"cmdDecodecmd", K::kButton, u"转换成普通链接", 6360, 1320, 1695, 360, 8},
      {"cmdEncodeToXF", K::kButton, u"转换成旋风链接", 6360, 3120, 1695, 360, 6},
      {"cmdEncodeToXL", K::kButton, u"转换成迅雷链接", 6360, 2640, 1695, 360, 5},
      {"cmdEncodeToFG", K::kButton, u"转换成快车链接", 6360, 2160, 1695, 360, 4},
      {"TxtOut", K::kTextBox, u"", 240, 2640, 5295, 885, 3},
      {"TxtRes", K::kTextBox, u"", 240, 1200, 5295, 885, 0},
      {"LabMainSet(4)",
       K::kLabel,
       u"注：当输入区为空时使用剪切板内的内容，转换完毕自动复制。",
       240,
       3915,
       5040,
       195,
       13,
       {},
       {},
       Rgb(0xC0, 0x00, 0x00),
       {},
       {},
       true},
      {"Img(3)", K::kImage, u"", 6000, 1365, 240, 240, {}, {}, {}, {}, {}, "decode"},
      {"Line", K::kLine, u"", 5760, 1920, 2520, 0, {}, {}, {}, kWhite},
      {"LabMainSet(2)",
       K::kLabel,
       u" × 操作方式 × ",
       5760,
       840,
       2505,
       240,
       7,
       {},
       kTitleFont,
       Rgb(0x40, 0x40, 0x40),
       kWhite},
      {"Shape(2)", K::kShape, u"", 5760, 840, 2520, 2820, {}, {}, {}, kWhite},
      {"Img(2)", K::kImage, u"", 6000, 3165, 240, 240, {}, {}, {}, {}, {}, "qqdl"},
      {"Img(1)", K::kImage, u"", 6000, 2685, 240, 240, {}, {}, {}, {}, {}, "thunder"},
      {"Img(0)", K::kImage, u"", 6000, 2205, 240, 240, {}, {}, {}, {}, {}, "flashget"},
      {"Shape(1)", K::kShape, u"", 120, 2280, 5520, 1365, {}, {}, {}, kGrey},
      {"LabMainSet(1)",
       K::kLabel,
       u" × 输出区域 × ",
       120,
       2280,
       5520,
       255,
       2,
       {},
       kTitleFont,
       kWhite,
       kGrey},
      {"Shape(0)", K::kShape, u"", 120, 840, 5520, 1365, {}, {}, {}, kGrey},
      {"LabMainSet(0)",
       K::kLabel,
       u" × 输入区域 × ",
       120,
       840,
       5520,
       255,
       1,
       {},
       kTitleFont,
       kWhite,
       kGrey},
  }};
  return controls;
}

}  // namespace

const WindowEntry& MainWindow() {
  static const WindowEntry window{"FrmMain", u"Zentrova - By " + std::u16string(author::kName),
                                  8415, 4365, kWindowFont};
  return window;
}

std::span<const ControlEntry> MainWindowControls() { return Controls(); }

const ControlEntry* FindControl(std::string_view name) {
  const auto& controls = Controls();
  const auto found = std::find_if(controls.begin(), controls.end(),
                                  [&](const ControlEntry& c) { return c.name == name; });
  return found == controls.end() ? nullptr : &*found;
}

}  // namespace zentrova::ui
