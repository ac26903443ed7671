// Which addresses a check never asks: this machine always, a private network unless the person
// asks for it. A posted list must not make the program send requests to the reader's own
// services or router: a GET to a router's CGI can change its settings.
#pragma once

#include <string_view>

#include "checks/verdict.h"
#include "lists/this_machine.h"

namespace zentrova::checks {

struct AddressRule {
  const lists::ThisMachine* machine = &lists::EveryMachine();
  bool allowLan = false;  // --check-lan: the private ranges (a NAS at home), never this machine
};

// Why a connection to `address` is refused (kThisMachine, kPrivateNetwork, kReserved), or
// kNone. The IPv4-mapped form of an address is judged as the address.
Trouble RefusalOfPeer(const lists::IpAddress& address, const AddressRule& rule);

// The same judged by the spelling of the host of the http, https or ftp address `url` alone,
// for a request that a proxy resolves: a name of this machine, or a literal address that is
// refused. A name that only a lookup would show to be here passes.
Trouble RefusalOfSpelling(std::string_view url, const AddressRule& rule);

}  // namespace zentrova::checks
