// The handler's refusal in the system's own message box, which needs no toolkit and is what a
// person who clicked a link on Windows expects to see when nothing can be opened.
#include "ui/failure_box.h"

#include <windows.h>

#include "codec/utf8.h"

namespace zentrova::ui {

void ShowFailureBox(const std::string& text) {
  const std::u16string wide = FromUtf8(text);
  // Brought to the front: the program the link was clicked in keeps the focus otherwise, and
  // the box would wait behind it unseen.
  MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(wide.c_str()), L"Zentrova",
              MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

}  // namespace zentrova::ui
