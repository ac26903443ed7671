// This machine as its hosts file knows it. Names that file maps to a loopback address, or to an
// address of the machine's own, lead here as surely as localhost does; Fedora's and Debian's
// files name the machine itself that way (127.0.1.1 on Debian). Pure: the file's text in.
#pragma once

#include <string_view>
#include <vector>

#include "lists/this_machine.h"

namespace zentrova::machine {

// Returns the machine whose hosts file says `hosts`, whose own name (as gethostname gives it,
// with or without its domain) is `ownName`, and whose interfaces have `ownAddresses`. The own
// name counts with and without its domain; a hosts line that names it gives another own
// address.
lists::ThisMachine FromHostsFile(std::string_view hosts, std::u16string_view ownName,
                                 std::vector<lists::IpAddress> ownAddresses);

}  // namespace zentrova::machine
