#include "win32/frm_main.h"

#include <stdexcept>

#include "resources/zentrova_ids.h"
#include "ui/about.h"
#include "ui/accessible_names.h"
#include "ui/handler_guard.h"
#include "ui/layout.h"
#include "ui/twips.h"
#include "win32/text_box_wrap.h"
#include "win32/win32_surface.h"
#include "win32/win32_text.h"

namespace zentrova::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"FrmMain";
// A fixed single border: a caption with the system menu and minimise, never resized or
// maximised.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPSIBLINGS;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;

int SystemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : ui::kStandardDpi;
}

}  // namespace

FrmMain::FrmMain(CommonControls& commonControls, HINSTANCE instance)
    : commonControls_(commonControls), instance_(instance) {
  Form_Initialize();
}

FrmMain::~FrmMain() {
  if (window_) DestroyWindow(window_);
  if (bigIcon_) DestroyIcon(bigIcon_);
  if (smallIcon_) DestroyIcon(smallIcon_);
}

void FrmMain::Form_Initialize() {
  commonControls_.InitCommonControls();
  commonControls_.RecordLastError();
}

void FrmMain::Show(int showCommand) {
  // The window's icon is the application's icon group; Windows picks the image for each use.
  bigIcon_ = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_APPLICATION_ICON),
                                           IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                           GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
  smallIcon_ = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_APPLICATION_ICON),
                                             IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  WNDCLASSEXW cls{};
  cls.cbSize = sizeof cls;
  cls.lpfnWndProc = WindowProc;
  cls.hInstance = instance_;
  cls.hIcon = bigIcon_;
  cls.hIconSm = smallIcon_;
  cls.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  cls.lpszClassName = kWindowClass;
  if (!RegisterClassExW(&cls)) throw std::runtime_error("the window class cannot be registered");

  const ui::WindowEntry& entry = ui::MainWindow();
  const int dpi = SystemDpi();
  RECT frame{0, 0, ui::ToPixels(entry.clientWidth, dpi), ui::ToPixels(entry.clientHeight, dpi)};
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int left = work.left + (work.right - work.left - width) / 2;
  const int top = work.top + (work.bottom - work.top - height) / 2;

  window_ = CreateWindowExW(kExStyle, kWindowClass, ToWide(entry.caption).c_str(), kStyle, left,
                            top, width, height, nullptr, nullptr, instance_, this);
  if (!window_) throw std::runtime_error("the main window cannot be created");
  controls_.Build(window_, instance_, dpi);
  SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(controls_.WindowFont()), FALSE);
  ShowWindow(window_, showCommand);
  UpdateWindow(window_);
  SetFocus(controls_.Find("TxtRes"));
}

bool FrmMain::PreTranslate(MSG& message) {
  if (!window_) return false;
  // Esc in a text box does nothing. Handed to the dialog manager, it would make a multi-line
  // EDIT believe it sits in a dialog and close the window, and the user's text with it.
  if ((message.message == WM_KEYDOWN || message.message == WM_KEYUP ||
       message.message == WM_CHAR) &&
      message.wParam == VK_ESCAPE) {
    const ui::ControlEntry* entry = controls_.EntryOf(GetFocus());
    if (entry && entry->kind == ui::ControlKind::kTextBox) return true;
  }
  // Tab moves on by tab index from the text boxes too: a multi-line edit asks for every key,
  // and would keep the Tab for itself.
  if (message.message == WM_KEYDOWN && message.wParam == VK_TAB &&
      !(GetKeyState(VK_CONTROL) & 0x8000)) {
    const bool back = GetKeyState(VK_SHIFT) & 0x8000;
    if (HWND next = GetNextDlgTabItem(window_, GetFocus(), back)) SetFocus(next);
    return true;
  }
  // Alt and a button's access key click the button where the focus stays, as Qt does; the
  // dialog manager would click it by a simulated mouse press, which takes the focus with it.
  if (message.message == WM_SYSKEYDOWN && message.wParam >= 'A' && message.wParam <= 'Z') {
    if (HWND button = controls_.WithAccessKey(static_cast<char16_t>(message.wParam))) {
      OnCommand(button);
      return true;
    }
  }
  // Enter on a focused button clicks it, as on Windows; there is no default button.
  if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN) {
    const ui::ControlEntry* entry = controls_.EntryOf(GetFocus());
    if (entry && entry->kind == ui::ControlKind::kButton) {
      SendMessageW(GetFocus(), BM_CLICK, 0, 0);
      return true;
    }
    // Enter in a text box starts a new line there; the dialog manager would take it.
    if (entry && entry->kind == ui::ControlKind::kTextBox) return false;
  }
  return IsDialogMessageW(window_, &message);
}

LRESULT CALLBACK FrmMain::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<FrmMain*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<FrmMain*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  // No failure may unwind through the system's frames: it is shown, and the program goes on.
  LRESULT result = 0;
  const auto failure = ui::RunGuarded([&] { result = self->Handle(message, wParam, lParam); });
  if (failure) ShowFailure(window, *failure);
  return result;
}

LRESULT FrmMain::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED && lParam) OnCommand(reinterpret_cast<HWND>(lParam));
      // An unwrapped box that was edited may wrap again; not while it is busy with the edit.
      if (HIWORD(wParam) == EN_CHANGE && lParam && !Wraps(reinterpret_cast<HWND>(lParam))) {
        PostMessageW(window_, kRewrapMessage, 0, lParam);
      }
      return 0;
    case kRewrapMessage:
      controls_.OnRewrapMessage(reinterpret_cast<HWND>(lParam), wParam);
      return 0;
    case WM_ACTIVATE:
      // As a dialog box does: the control that had the focus when another window (another
      // program, a message box) was activated gets it back, instead of the frame.
      if (LOWORD(wParam) == WA_INACTIVE) {
        RememberFocus();
      } else {
        RestoreFocus();
      }
      return 0;
    case WM_SETFOCUS:
      RestoreFocus();
      return 0;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
      // A high-contrast theme switched on or off changes the colours the window paints in.
      RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      return DefWindowProcW(window_, message, wParam, lParam);
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<LRESULT>(
          controls_.ColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window_, &paint);
      controls_.PaintGraphics(dc);
      EndPaint(window_, &paint);
      return 0;
    }
    case WM_DESTROY:
      // Unloading the only window ends the program.
      SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
      window_ = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window_, message, wParam, lParam);
  }
}

void FrmMain::RememberFocus() {
  const ui::ControlEntry* entry = controls_.EntryOf(GetFocus());
  if (entry) focused_ = entry->name;
}

void FrmMain::RestoreFocus() {
  // By name: a text box may have been replaced while the window was inactive.
  if (HWND control = controls_.Find(focused_)) SetFocus(control);
}

void FrmMain::OnCommand(HWND control) {
  const ui::ControlEntry* entry = controls_.EntryOf(control);
  if (!entry) return;
  const std::string_view name = entry->name;
  if (name == "cmdAbout") {
    cmdAbout_Click();
  } else if (name == "cmdExit") {
    cmdExit_Click();
  } else if (name == "cmdEncodeToXL") {
    RunCommand(EncodeToXL);
  } else if (name == "cmdEncodeToFG") {
    RunCommand(EncodeToFG);
  } else if (name == "cmdEncodeToXF") {
    RunCommand(EncodeToXF);
  } else if (name == "cmdDecodecmd") {
    RunCommand(DecodeToPlain);
  }
}

void FrmMain::cmdAbout_Click() {
  // Style 64: the information icon and an OK button only.
  MessageBoxW(window_, ToWide(ui::AboutText()).c_str(), ToWide(ui::kAboutTitle).c_str(),
              MB_OK | MB_ICONINFORMATION);
}

void FrmMain::cmdExit_Click() {
  // The codec goes before the window does.
  codec.reset();
  DestroyWindow(window_);
}

void FrmMain::RunCommand(void (*command)(LinkSurface&)) {
  const auto failure = ui::RunGuarded([&] {
    EditTextBox TxtRes(controls_, "TxtRes");
    EditTextBox TxtOut(controls_, "TxtOut");
    SystemClipboard clipboard(window_);
    LinkSurface surface{TxtRes, TxtOut, clipboard, codec};
    command(surface);
  });
  if (failure) ShowFailure(window_, *failure);
}

int ShowFailure(HWND owner, const ui::HandlerFailure& failure) {
  return MessageBoxW(owner, ToWide(ui::FailureReport(failure.code, failure.description)).c_str(),
                     ToWide(ui::MainWindow().caption).c_str(), MB_OK | MB_ICONERROR);
}

}  // namespace zentrova::win32

namespace zentrova::win32 {

int ShowStartupFailure(const ui::HandlerFailure& failure) {
  MSG quit;
  while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  return ShowFailure(nullptr, failure);
}

}  // namespace zentrova::win32
