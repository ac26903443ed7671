// The names a screen reader announces, and the keys a keyboard user presses, for the controls that
// take the focus. A text box shows no name of its own: it is named by the title of the frame around
// it, without the title's "×" marks. A button is named by its caption, without the access key's
// "&".
#pragma once

#include <string>

#include "ui/layout.h"

namespace zentrova::ui {

// The accessible name of `entry`: "输入区域" for TxtRes, "退出(E)" for cmdExit; "" for a
// control that takes no focus.
std::u16string AccessibleName(const ControlEntry& entry);

// The access key of a button: the letter after "&" in its caption, in upper case ('E' for
// cmdExit), or 0 when it has none.
char16_t AccessKey(const ControlEntry& entry);

}  // namespace zentrova::ui
