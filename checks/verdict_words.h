// A verdict as people and programs read it: in the reader's words beside an address, and as the
// "check" member of a line's JSON object.
#pragma once

#include <cstdint>
#include <string>

#include "checks/verdict.h"
#include "lists/found_links.h"

namespace zentrova::checks {

// The verdict in `translate`'s words: "alive (1.5 MiB, video/mp4)", "dead: the server no longer
// has the file (404)".
std::string VerdictWords(const Verdict& verdict, const lists::Translation& translate);

// A size in `translate`'s words: bytes below 1 KiB, else KiB, MiB, GiB or TiB to one decimal.
std::string SizeWords(std::uint64_t size, const lists::Translation& translate);

// ,"check":{"state":…,"status":…,"size":…,"type":…,"reason":…,"final":…} with the reason in
// English, as the JSON form writes every reason, for programs to read.
std::string CheckMember(const Verdict& verdict);

}  // namespace zentrova::checks
