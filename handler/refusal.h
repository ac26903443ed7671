// A link the handler does not hand on, said where the person who clicked it sees it.
#pragma once

#include <string>

namespace zentrova::handler {

// Says `why` in the person's language in the refusal's box (and on standard error, which is all
// there is without a display, or where the program was started from a console); returns the
// program's status for a refusal, 1.
int Refuse(const std::string& why);

}  // namespace zentrova::handler
