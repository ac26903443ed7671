// The main window on Win32: its initialisation, its codec, and the handlers of its six buttons.
#pragma once

#include <windows.h>

#include <memory>
#include <string_view>

#include "codec/base64.h"
#include "links/link_commands.h"
#include "ui/common_controls.h"
#include "ui/handler_guard.h"
#include "win32/frm_main_controls.h"

namespace zentrova::win32 {

class FrmMain {
 public:
  // Creating the window object runs its initialisation; no window exists yet.
  FrmMain(CommonControls& commonControls, HINSTANCE instance);
  ~FrmMain();
  FrmMain(const FrmMain&) = delete;
  FrmMain& operator=(const FrmMain&) = delete;

  // Creates the window and its controls, centres the whole window on the work area, shows it
  // and puts the focus in TxtRes.
  void Show(int showCommand);
  // Lets the window's keyboard interface see `message` first: Tab, access keys, and Enter on a
  // focused button. Returns true when it was handled.
  bool PreTranslate(MSG& message);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(HWND control);
  void RememberFocus();
  void RestoreFocus();

  void Form_Initialize();
  void cmdAbout_Click();
  void cmdExit_Click();
  void RunCommand(void (*command)(LinkSurface&));

  CommonControls& commonControls_;
  HINSTANCE instance_;
  HWND window_ = nullptr;
  HICON bigIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
  std::unique_ptr<Base64> codec;
  FrmMainControls controls_;
  std::string_view focused_ = "TxtRes";  // the control that has, or last had, the focus
};

// Shows a failure that reached a handler in a critical message box over `owner`; returns the
// box's answer.
int ShowFailure(HWND owner, const ui::HandlerFailure& failure);

// Shows a failure that kept the window from being made, once it is gone. Its destruction has
// asked the message loop to end, and the message box's own loop would take that as its end
// before the user could read it; the request is withdrawn first. Returns the box's answer.
int ShowStartupFailure(const ui::HandlerFailure& failure);

}  // namespace zentrova::win32
