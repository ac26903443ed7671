// The client's usage text, which --help shows and a usage error follows.
#pragma once

#include <string>

namespace zentrova::cli {

// Returns the usage text in the user's language: a synopsis written from the table of commands
// and options (cli/options.h), then what the commands do.
std::string UsageText();

}  // namespace zentrova::cli
