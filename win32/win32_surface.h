// The text boxes and the clipboard of the link commands, provided by Win32: an EDIT control's
// text and the system clipboard in CF_UNICODETEXT.
#pragma once

#include <windows.h>

#include <string_view>

#include "links/link_commands.h"
#include "win32/frm_main_controls.h"

namespace zentrova::win32 {

// The window's text box `name`. A text with a paragraph too long to wrap quickly is shown
// unwrapped, any other wrapped (text_box_wrap.h).
class EditTextBox : public TextBox {
 public:
  EditTextBox(FrmMainControls& controls, std::string_view name)
      : controls_(controls), name_(name) {}
  std::u16string Text() const override;
  void SetText(const std::u16string& text) override;

 private:
  FrmMainControls& controls_;
  std::string_view name_;
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
