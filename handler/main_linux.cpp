// zentrova-open, the program the desktop runs for a thunder://, flashget:// or qqdl:// link
// clicked anywhere: it opens the link and hands the address to xdg-open, which gives it to the
// person's own program for it (the browser for http, a torrent client for magnet). No window
// toolkit starts on that path; only a refusal shows a message box. What it hands on is never a
// special link, and it takes nothing else, so a system that hands the address back to it (its
// handler for http set to this program) ends after one refusal instead of going round.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "codec/utf8.h"
#include "handler/handed_on.h"
#include "handler/refusal.h"
#include "machine/machine_here.h"
#include "messages/messages.h"

using zentrova::cli::Say;
using zentrova::handler::Refuse;

int main(int argc, char* argv[]) {
  zentrova::cli::UseUserLanguage();
  if (argc != 2) return Refuse(Say("give one link: zentrova-open LINK"));
  const auto handed =
      zentrova::handler::HandOn(zentrova::FromUtf8(argv[1]), zentrova::machine::ThisMachineHere());
  if (handed.uri.empty()) return Refuse(Say(handed.why.c_str(), {handed.detail}));
  execlp("xdg-open", "xdg-open", handed.uri.c_str(), static_cast<char*>(nullptr));
  return Refuse(Say("xdg-open cannot be started: {0}", {std::strerror(errno)}));
}
