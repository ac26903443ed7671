// What a special link clicked anywhere (in a chat, a mail, a browser without our extension)
// becomes: the address to hand to the system's own handler, in the form downloaders take, or the
// reason none is handed on. Lists open links the same way, so a link the lists refuse is
// refused here too; an address on this machine is refused besides, since the program the
// system hands it to would fetch it from here.
#pragma once

#include <string>
#include <string_view>

#include "lists/this_machine.h"

namespace zentrova::handler {

struct HandedOn {
  // The address as downloaders take it (the bytes the link carried, escaped), or "" when refused.
  std::string uri;
  // Why not, as an English sentence of the catalogue with "{0}" standing for `detail`.
  std::string why;
  std::string detail;
};

// Returns what the clicked special link `link` hands on; an address that reaches `machine` is
// refused. Only a text that is itself a special link is opened: a plain address that carries
// one (a search for it, a script) is not, as the system may hand such addresses straight back.
HandedOn HandOn(std::u16string_view link,
                const lists::ThisMachine& machine = lists::EveryMachine());

}  // namespace zentrova::handler
