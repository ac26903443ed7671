// What each system says of the machine, behind one seam: where its hosts file is, its name,
// its interfaces' addresses. One file a system (machine_posix.cpp, machine_windows.cpp).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "lists/this_machine.h"

namespace zentrova::machine::sys {

// The system's hosts file.
std::filesystem::path HostsFilePath();

// The machine's own name as the system gives it (with its domain where it has one); "" when
// the system gives none.
std::u16string OwnName();

// The addresses of the machine's network interfaces; none where the system does not say.
std::vector<lists::IpAddress> OwnAddresses();

}  // namespace zentrova::machine::sys
