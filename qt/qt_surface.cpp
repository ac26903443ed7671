#include "qt/qt_surface.h"

#include "qt/qt_text.h"

namespace zentrova::ui {

// A line break reaches the commands as CR LF, as a Windows text box holds it, so the same
// visible text makes the same link on every front end.
std::u16string QtTextBox::Text() const {
  return FromQString(edit_.toPlainText().replace(QLatin1Char('\n'), QLatin1String("\r\n")));
}

void QtTextBox::SetText(const std::u16string& text) { edit_.setPlainText(ToQString(text)); }

// Plain text only, from the system clipboard rather than the X11 selection.
std::u16string QtClipboard::GetText() {
  return FromQString(clipboard_.text(QClipboard::Clipboard));
}

void QtClipboard::Clear() { clipboard_.clear(QClipboard::Clipboard); }

void QtClipboard::SetText(const std::u16string& text) {
  clipboard_.setText(ToQString(text), QClipboard::Clipboard);
}

}  // namespace zentrova::ui
