// The text boxes and the clipboard of the link commands, provided by Win32: an EDIT control's
// text and the system clipboard in CF_UNICODETEXT.
#pragma once

#include <windows.h>

#include "links/link_commands.h"

namespace zentrova::win32 {

class EditTextBox : public TextBox {
 public:
  explicit EditTextBox(HWND edit) : edit_(edit) {}
  std::u16string Text() const override;
  void SetText(const std::u16string& text) override;

 private:
  HWND edit_;
};

// Each operation opens the clipboard for `owner` and closes it again. Throws
// std::runtime_error when another program keeps the clipboard open, or memory runs out.
class SystemClipboard : public Clipboard {
 public:
  explicit SystemClipboard(HWND owner) : owner_(owner) {}
  std::u16string GetText() override;
  void Clear() override;
  void SetText(const std::u16string& text) override;

 private:
  HWND owner_;
};

}  // namespace zentrova::win32
