// The address zentrova-open.exe hands to ShellExecute, made safe from the shell's own reading of
// it: ShellExecute replaces "%NAME%" with the environment variable NAME (Wine in every address,
// Windows wherever the command is expanded), so a planted link could carry the person's user
// name, machine name or any other setting out to a server in its address.
#pragma once

#include <functional>
#include <string_view>

#include "handler/handed_on.h"

namespace zentrova::handler {

// Whether the environment has a variable called `name` (with any value, empty included).
using VariableIsSet = std::function<bool(std::string_view name)>;

// Returns `uri` as it may be given to ShellExecute: every "%" that begins no escape (two hex
// digits) written "%25", which means the same to a server; or nothing, with the reason, where
// the text between two "%" (any two in a row, as Windows reads them) still names a variable
// that `is_set`, since an escape such as "%DE" can begin a name such as "%DEBUG%".
HandedOn ShellSafe(std::string_view uri, const VariableIsSet& is_set);

}  // namespace zentrova::handler
