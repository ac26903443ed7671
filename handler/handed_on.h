// What a special link clicked anywhere (in a chat, a mail, a browser without our extension)
// becomes: the address to hand to the system's own handler, in the form downloaders take, or the
// reason none is handed on. Lists open links the same way, so a link the lists refuse is
// refused here too; an address on this machine is refused besides, since the program the
// system hands it to would fetch it from here.
#pragma once

#include <string>
#include <string_view>

namespace zentrova::handler {

struct HandedOn {
  // The address as downloaders take it (the bytes the link carried, escaped), or "" when refused.
  std::string uri;
  // Why not, as an English sentence of the catalogue with "{0}" standing for `detail`.
  std::string why;
  std::string detail;
};

// Returns what the clicked special link `link` hands on.
HandedOn HandOn(std::u16string_view link);

}  // namespace zentrova::handler
