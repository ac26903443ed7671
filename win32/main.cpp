// The Windows program's entry: it hands over to the window, which is the start-up object, and
// runs the message loop until the window is gone.
#include <windows.h>

#include "ui/common_controls.h"
#include "ui/handler_guard.h"
#include "win32/frm_main.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  zentrova::CommonControls commonControls;
  int status = 0;
  const auto failure = zentrova::ui::RunGuarded([&] {
    zentrova::win32::FrmMain window(commonControls, instance);
    window.Show(showCommand);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      if (window.PreTranslate(message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    status = static_cast<int>(message.wParam);
  });
  if (failure) {
    // The window could not be made: say why, as the platform would, and end.
    zentrova::win32::ShowStartupFailure(*failure);
    return 1;
  }
  return status;
}
