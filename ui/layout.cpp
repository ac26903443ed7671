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
  // One row a control, in creation order; a field left out has its default (no tab index, the
  // window as container, the window's font, no colours of its own, no picture).
  // clang-format off
  static const std::array<ControlEntry, 22> controls = {{
      {.name = "cmdExit", .kind = K::kButton, .text = u"退出(&E)",
       .left = 7080, .top = 3840, .width = 1110, .height = 360, .tabIndex = 12},
      {.name = "cmdAbout", .kind = K::kButton, .text = u"关于(&A)",
       .left = 5880, .top = 3840, .width = 1095, .height = 360, .tabIndex = 11},
      {.name = "Picture1", .kind = K::kPictureBox, .text = u"",
       .left = 0, .top = 0, .width = 8415, .height = 615,
       .tabIndex = 9, .backColor = Rgb(0x80, 0xA0, 0xFF)},
      {.name = "LabMainSet(3)", .kind = K::kLabel, .text = kCredit,
       .left = 840, .top = 160, .width = 6465, .height = 210,
       .tabIndex = 10, .container = "Picture1",
       .font = kTitleFont, .foreColor = kWhite, .autoSize = true},
      {.name = "cmdDecodecmd", .kind = K::kButton, .text = u"转换成普通链接",
       .left = 6360, .top = 1320, .width = 1695, .height = 360, .tabIndex = 8},
      {.name = "cmdEncodeToXF", .kind = K::kButton, .text = u"转换成旋风链接",
       .left = 6360, .top = 3120, .width = 1695, .height = 360, .tabIndex = 6},
      {.name = "cmdEncodeToXL", .kind = K::kButton, .text = u"转换成迅雷链接",
       .left = 6360, .top = 2640, .width = 1695, .height = 360, .tabIndex = 5},
      {.name = "cmdEncodeToFG", .kind = K::kButton, .text = u"转换成快车链接",
       .left = 6360, .top = 2160, .width = 1695, .height = 360, .tabIndex = 4},
      {.name = "TxtOut", .kind = K::kTextBox, .text = u"",
       .left = 240, .top = 2640, .width = 5295, .height = 885, .tabIndex = 3},
      {.name = "TxtRes", .kind = K::kTextBox, .text = u"",
       .left = 240, .top = 1200, .width = 5295, .height = 885, .tabIndex = 0},
      {.name = "LabMainSet(4)", .kind = K::kLabel,
       .text = u"注：当输入区为空时使用剪切板内的内容，转换完毕自动复制。",
       .left = 240, .top = 3915, .width = 5040, .height = 195,
       .tabIndex = 13, .foreColor = Rgb(0xC0, 0x00, 0x00), .autoSize = true},
      {.name = "Img(3)", .kind = K::kImage, .text = u"",
       .left = 6000, .top = 1365, .width = 240, .height = 240, .picture = "decode"},
      {.name = "Line", .kind = K::kLine, .text = u"",
       .left = 5760, .top = 1920, .width = 2520, .height = 0, .foreColor = kWhite},
      {.name = "LabMainSet(2)", .kind = K::kLabel, .text = u" × 操作方式 × ",
       .left = 5760, .top = 840, .width = 2505, .height = 240,
       .tabIndex = 7, .font = kTitleFont, .foreColor = Rgb(0x40, 0x40, 0x40), .backColor = kWhite},
      {.name = "Shape(2)", .kind = K::kShape, .text = u"",
       .left = 5760, .top = 840, .width = 2520, .height = 2820, .foreColor = kWhite},
      {.name = "Img(2)", .kind = K::kImage, .text = u"",
       .left = 6000, .top = 3165, .width = 240, .height = 240, .picture = "qqdl"},
      {.name = "Img(1)", .kind = K::kImage, .text = u"",
       .left = 6000, .top = 2685, .width = 240, .height = 240, .picture = "thunder"},
      {.name = "Img(0)", .kind = K::kImage, .text = u"",
       .left = 6000, .top = 2205, .width = 240, .height = 240, .picture = "flashget"},
      {.name = "Shape(1)", .kind = K::kShape, .text = u"",
       .left = 120, .top = 2280, .width = 5520, .height = 1365, .foreColor = kGrey},
      {.name = "LabMainSet(1)", .kind = K::kLabel, .text = u" × 输出区域 × ",
       .left = 120, .top = 2280, .width = 5520, .height = 255,
       .tabIndex = 2, .font = kTitleFont, .foreColor = kWhite, .backColor = kGrey},
      {.name = "Shape(0)", .kind = K::kShape, .text = u"",
       .left = 120, .top = 840, .width = 5520, .height = 1365, .foreColor = kGrey},
      {.name = "LabMainSet(0)", .kind = K::kLabel, .text = u" × 输入区域 × ",
       .left = 120, .top = 840, .width = 5520, .height = 255,
       .tabIndex = 1, .font = kTitleFont, .foreColor = kWhite, .backColor = kGrey},
  }};
  // clang-format on
  return controls;
}

}  // namespace

const WindowEntry& MainWindow() {
  static const WindowEntry window{
      "FrmMain", std::u16string(u"Zentrova - By ").append(author::kName), 8415, 4365, kWindowFont};
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
