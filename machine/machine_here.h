// This machine as it knows itself, read from its own files and settings: its hosts file, its
// name and its interfaces' addresses. No name is looked up in DNS: a posted list must not make
// the program tell a DNS server what it reads.
#pragma once

#include "lists/this_machine.h"

namespace zentrova::machine {

// Returns this machine as its hosts file (/etc/hosts; on Windows the one under
// %SystemRoot%\System32\drivers\etc), its name and its addresses know it, read at the first
// call of a run and kept. ZENTROVA_HOSTS_FILE names another hosts file, for tests.
const lists::ThisMachine& ThisMachineHere();

}  // namespace zentrova::machine
