// One small writer for each form a list is handed off in, and which downloads each form cannot
// hold. HandOff decides which of them a line goes to. Each writes a long entry in pieces when
// it is given a spill (lists/spill.h), and whole when the spill is empty.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "lists/download_address.h"
#include "lists/found_links.h"
#include "lists/hand_off.h"
#include "lists/list_run.h"
#include "lists/spill.h"

namespace zentrova::lists {

// Whether `result` holds an address (converted or passed through), which the forms write.
inline bool HoldsAddress(const LineResult& result) {
  return result.kind == LineResult::Kind::kConverted ||
         result.kind == LineResult::Kind::kPassedThrough;
}

// Marks a note's words as a sentence of the catalogue.
constexpr const char* Note(const char* english) { return english; }

// The lines form: the result's readable text, or an empty line for a failure or a blank line;
// `tail` before the line's end.
void AppendLinesEntry(const LineResult& result, std::string& out, const Spill& spill,
                      std::string_view tail = {});

// JSON Lines: the object for line `number` with `result`, made in `mode`: its address and where
// it came from, the error of a failure, or the line number alone for a blank line; `members`
// (JSON members, each after a comma) before the object's end.
void AppendJsonEntry(long number, const LineResult& result, ListMode mode, std::string& out,
                     const Spill& spill, std::string_view members = {});

// Returns the note on a download of `kind` that aria2's or IDM's `form` cannot hold: ed2k for
// aria2, anything but a file from a server for IDM; nothing when the form holds it.
std::optional<std::string> LeftOutOf(HandOffForm form, DownloadKind kind);

// aria2's input file: the URI, then "  out=NAME" when there is a name.
void AppendAria2Entry(const Download& download, std::string& out, const Spill& spill);

// IDM's export: "<", the URI and ">", each on a line of its own ended by CR LF.
void AppendEf2Entry(const Download& download, std::string& out, const Spill& spill);

}  // namespace zentrova::lists
