// The client's commands and options, held once: the parser knows an option by its row here,
// and the usage text's synopsis is written from these rows, so that an option added to the
// client is one row and cannot be missing from its help.
#pragma once

#include <span>
#include <string_view>

namespace zentrova::cli {

// The commands an option may belong to, as bits.
enum Commands : unsigned {
  kNoCommand = 0,
  kEncodeFile = 1u << 0,
  kDecodeFile = 1u << 1,
  kLink = 1u << 2,
  kBatch = 1u << 3,
};

struct Command {
  std::string_view name;
  Commands bit;
  // The first operand's choices, as the synopsis shows them; empty when there is none.
  std::string_view kinds;
  // The remaining operands, a catalogued phrase (the names are the user's language's).
  const char* operands;
};

struct Option {
  std::string_view name;
  // The short spelling, or empty.
  std::string_view shortName;
  // The value's name or choices, as the synopsis shows them; empty for an option without one.
  std::string_view argument;
  // The commands that take it; none for one that stands in a command's place (--help).
  unsigned commands;
};

// The commands, in the synopsis's order.
std::span<const Command> TheCommands();

// The options, in the synopsis's order.
std::span<const Option> TheOptions();

// Returns the command named `name`, if there is one.
const Command* CommandNamed(std::string_view name);

// Returns the option spelled `word` (its name or its short name), if there is one.
const Option* OptionNamed(std::string_view word);

}  // namespace zentrova::cli
