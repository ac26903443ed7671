// Prints the client's table of options, one a line (its name, then its short name if it has
// one), for the check that --help and the man pages name the same options.
#include <cstdio>
#include <string>

#include "cli/options.h"

int main() {
  for (const zentrova::cli::Option& option : zentrova::cli::TheOptions()) {
    std::string line(option.name);
    if (!option.shortName.empty()) line += " " + std::string(option.shortName);
    std::printf("%s\n", line.c_str());
  }
  return 0;
}
