// A failure said where the person who clicked a link sees it: declared here, without a toolkit,
// and realised by each window's toolkit (qt/, win32/), so that the handler needs neither folder.
#pragma once

#include <string>

namespace zentrova::ui {

// Shows `text` in a message box titled "Zentrova" and waits until it is closed; does nothing
// where there is no display to show it on (the caller has written it to standard error).
void ShowFailureBox(const std::string& text);

}  // namespace zentrova::ui
