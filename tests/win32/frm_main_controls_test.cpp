// The window's controls against the real system under Wine: the names a screen reader
// announces, the icons' pictures at each DPI, the colours under a high-contrast theme, and a
// start-up failure's message that stays until it is answered.
#include "win32/frm_main_controls.h"

#include <gtest/gtest.h>
#include <oleacc.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "win32/frm_main.h"

namespace zentrova::win32 {
namespace {

// Bounds a wait for the window system; a wait ends as soon as its condition holds.
constexpr auto kPatience = std::chrono::seconds(60);

class FrmMainControlsTest : public ::testing::Test {
 protected:
  void Build(int dpi) {
    window_ = CreateWindowExW(WS_EX_CONTROLPARENT, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 800,
                              600, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window_, nullptr);
    controls_.Build(window_, GetModuleHandleW(nullptr), dpi);
  }
  void TearDown() override {
    if (window_) DestroyWindow(window_);
  }

  HWND window_ = nullptr;
  FrmMainControls controls_;
};

// The name MSAA gives `control`, as a screen reader asks for it.
std::wstring AccessibleName(HWND control) {
  IAccessible* accessible = nullptr;
  // __uuidof, not IID_IAccessible: MinGW-w64's import library gives that name to a code stub.
  if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                        __uuidof(IAccessible),
                                        reinterpret_cast<void**>(&accessible)))) {
    return L"(no accessible object)";
  }
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  const HRESULT result = accessible->get_accName(self, &name);
  accessible->Release();
  if (FAILED(result) || !name) return L"(no name)";
  std::wstring text(name, SysStringLen(name));
  SysFreeString(name);
  return text;
}

TEST_F(FrmMainControlsTest, ScreenReadersNameTheBoxesByTheirFramesAndTheButtonsByTheirCaptions) {
  Build(96);
  CoInitialize(nullptr);
  const struct {
    const char* control;
    const wchar_t* name;
  } rows[] = {
      {"TxtRes", L"输入区域"},
      {"TxtOut", L"输出区域"},
      {"cmdEncodeToFG", L"转换成快车链接"},
      {"cmdDecodecmd", L"转换成普通链接"},
      {"cmdAbout", L"关于(A)"},
      {"cmdExit", L"退出(E)"},
  };
  for (const auto& row : rows) {
    HWND control = controls_.Find(row.control);
    ASSERT_NE(control, nullptr) << row.control;
    EXPECT_EQ(AccessibleName(control), row.name) << row.control;
  }
  // The name stays with a box that is replaced to change its wrapping.
  HWND unwrapped = controls_.Rewrap(controls_.Find("TxtRes"), false);
  ASSERT_NE(unwrapped, nullptr);
  EXPECT_EQ(AccessibleName(unwrapped), L"输入区域");
  CoUninitialize();
}

TEST_F(FrmMainControlsTest, TabOrderPassesOverTheHiddenNames) {
  Build(96);
  const char* order[] = {"TxtRes",        "TxtOut",       "cmdEncodeToFG", "cmdEncodeToXL",
                         "cmdEncodeToXF", "cmdDecodecmd", "cmdAbout",      "cmdExit"};
  HWND at = controls_.Find(order[0]);
  for (std::size_t i = 1; i < std::size(order); ++i) {
    at = GetNextDlgTabItem(window_, at, FALSE);
    ASSERT_NE(controls_.EntryOf(at), nullptr) << "after " << order[i - 1];
    EXPECT_EQ(controls_.EntryOf(at)->name, order[i]);
  }
}

// The width of the picture an image control shows.
int IconSide(HWND image) {
  auto icon = reinterpret_cast<HICON>(SendMessageW(image, STM_GETICON, 0, 0));
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return 0;
  BITMAP bitmap{};
  GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return bitmap.bmWidth;
}

TEST(FrmMainIconsTest, EachDpiGetsAPictureOfItsOwnSize) {
  const struct { int dpi, side; } rows[] = {{96, 16}, {120, 20}, {144, 24}, {192, 32}};
  for (const auto& row : rows) {
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 1200, 900, nullptr,
                                  nullptr, nullptr, nullptr);
    {
      FrmMainControls controls;
      controls.Build(window, GetModuleHandleW(nullptr), row.dpi);
      for (const char* image : {"Img(0)", "Img(1)", "Img(2)", "Img(3)"}) {
        EXPECT_EQ(IconSide(controls.Find(image)), row.side) << image << " at " << row.dpi;
      }
    }
    DestroyWindow(window);
  }
}

// The text colour and background brush a static control is painted with.
struct Painted {
  COLORREF text;
  HBRUSH brush;
};
Painted PaintedColours(FrmMainControls& controls, const char* name) {
  HDC dc = CreateCompatibleDC(nullptr);
  const HBRUSH brush = controls.ColorStatic(dc, controls.Find(name));
  const Painted painted{GetTextColor(dc), brush};
  DeleteDC(dc);
  return painted;
}

TEST_F(FrmMainControlsTest, HighContrastTakesTheSystemsColoursAndOnlyThen) {
  Build(96);
  HIGHCONTRASTW before{};
  before.cbSize = sizeof before;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof before, &before, 0));
  ASSERT_FALSE(before.dwFlags & HCF_HIGHCONTRASTON);
  EXPECT_EQ(PaintedColours(controls_, "LabMainSet(4)").text, RGB(0xC0, 0x00, 0x00));
  EXPECT_EQ(PaintedColours(controls_, "LabMainSet(0)").text, RGB(0xFF, 0xFF, 0xFF));

  HIGHCONTRASTW on = before;
  on.dwFlags |= HCF_HIGHCONTRASTON;
  if (!SystemParametersInfoW(SPI_SETHIGHCONTRAST, sizeof on, &on, 0)) {
    GTEST_SKIP() << "this system does not let a program switch high contrast on";
  }
  HIGHCONTRASTW now{};
  now.cbSize = sizeof now;
  SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof now, &now, 0);
  if (!(now.dwFlags & HCF_HIGHCONTRASTON)) {
    SystemParametersInfoW(SPI_SETHIGHCONTRAST, sizeof before, &before, 0);
    GTEST_SKIP() << "this system takes high contrast on but does not keep it";
  }
  const Painted note = PaintedColours(controls_, "LabMainSet(4)");
  const Painted title = PaintedColours(controls_, "LabMainSet(0)");
  const Painted banner = PaintedColours(controls_, "Picture1");
  const Painted credit = PaintedColours(controls_, "LabMainSet(3)");
  SystemParametersInfoW(SPI_SETHIGHCONTRAST, sizeof before, &before, 0);
  EXPECT_EQ(note.text, GetSysColor(COLOR_BTNTEXT));
  EXPECT_EQ(title.text, GetSysColor(COLOR_BTNTEXT));
  EXPECT_EQ(title.brush, GetSysColorBrush(COLOR_BTNFACE));
  EXPECT_EQ(banner.brush, GetSysColorBrush(COLOR_HIGHLIGHT));
  EXPECT_EQ(credit.text, GetSysColor(COLOR_HIGHLIGHTTEXT));
}

TEST(StartupFailureTest, TheMessageStaysUntilItIsAnswered) {
  // The window's destruction has asked the loop to end, as it does when Show fails.
  PostQuitMessage(0);
  std::atomic<bool> seen = false, stayed = false;
  std::thread user([&] {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    HWND box = nullptr;
    while (!box && std::chrono::steady_clock::now() < deadline) {
      box = FindWindowW(L"#32770", L"Zentrova - By Ovrani");
      if (!box || !IsWindowVisible(box)) {
        box = nullptr;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
    }
    if (!box) return;
    seen = true;
    // Each answered message is one more turn of the box's own loop, which is where a pending
    // request to end would close it.
    bool alive = true;
    for (int turn = 0; turn < 5 && alive; ++turn) {
      DWORD_PTR ignored = 0;
      alive = SendMessageTimeoutW(box, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 60000, &ignored) &&
              IsWindow(box);
    }
    stayed = alive;
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  const int answer = ShowStartupFailure({42, u"the window cannot be made"});
  user.join();
  EXPECT_TRUE(seen) << "no message box was shown";
  EXPECT_TRUE(stayed) << "the message box closed before anyone could read it";
  EXPECT_EQ(answer, IDOK);
}

}  // namespace
}  // namespace zentrova::win32
