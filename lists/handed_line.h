// One line of a list as every front end hands it off: its result written in the hand-off's
// form, and what the front end says of it (why it failed, why the form left it out) in its own
// language.
#pragma once

#include <optional>
#include <string>

#include "lists/found_links.h"
#include "lists/hand_off.h"

namespace zentrova::lists {

struct HandedLine {
  std::optional<std::string> failure;  // why the line failed, translated, its detail in place
  std::optional<std::string> note;     // why the form left the line out, translated
  std::optional<Download> download;    // in aria2's and IDM's forms, what the downloader is given
};

// Appends line `number` (from 1) with `result` to `out` through `handOff`; returns what to say
// of it in `translate`'s words.
HandedLine HandLineOff(HandOff& handOff, long number, const LineResult& result,
                       const Translation& translate, std::string& out,
                       const EntryExtra& extra = {});

}  // namespace zentrova::lists
