// A refusal said where the person who clicked the link sees it.
#pragma once

#include <string>

namespace zentrova::handler {

// Shows `text` in a message box titled "Zentrova" and waits until it is closed; does nothing
// where there is no display to show it on (the caller has written it to standard error).
void ShowFailureBox(const std::string& text);

}  // namespace zentrova::handler
