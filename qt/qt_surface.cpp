#include "qt/qt_surface.h"

#include <QTextDocument>

#include "qt/long_word_wrap.h"
#include "qt/qt_text.h"

namespace zentrova::ui {

// The box's text as it stands: the raw text keeps U+00A0 and U+2028, which the plain-text
// export turns into a space and a line feed. A line break (the end of a block) reaches the
// commands as CR LF, as a Windows text box holds it, so the same visible text makes the same
// link on every front end.
std::u16string QtTextBox::Text() const {
  return FromQString(
      edit_.document()->toRawText().replace(QChar::ParagraphSeparator, QLatin1String("\r\n")));
}

void QtTextBox::SetText(const std::u16string& text) { SetPlainTextWrapped(edit_, ToQString(text)); }

// Plain text only, from the system clipboard rather than the X11 selection.
std::u16string QtClipboard::GetText() {
  return FromQString(clipboard_.text(QClipboard::Clipboard));
}

void QtClipboard::Clear() { clipboard_.clear(QClipboard::Clipboard); }

void QtClipboard::SetText(const std::u16string& text) {
  clipboard_.setText(ToQString(text), QClipboard::Clipboard);
}

}  // namespace zentrova::ui
