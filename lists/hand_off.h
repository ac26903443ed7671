// Decoded lists in the forms downloaders take: whole lists as an aria2 input file, an IDM
// export, JSON Lines or the plain result lines. Which form a line goes to is decided here; each
// form's own writing is in hand_off_forms, the download's address and name in download_address.
#pragma once

#include <optional>
#include <string>
#include <utility>

#include "lists/download_address.h"
#include "lists/found_links.h"
#include "lists/list_run.h"
#include "lists/repeat_memory.h"
#include "lists/spill.h"
#include "lists/this_machine.h"

namespace zentrova::lists {

enum class HandOffForm {
  kLines,  // one result line for each input line, as people read them
  kAria2,  // aria2's input file (aria2c -i): the escaped URI, then "  out=NAME"
  kEf2,    // Internet Download Manager's export: "<", the URI, ">", CR LF line ends
  kJson,   // JSON Lines: one object for each input line
};

// Whether `form` can hold the results of `mode`: aria2's and IDM's files hold only downloads.
bool FormHolds(HandOffForm form, ListMode mode);

// Lets go of what `form` never writes of `result`, before it is handed off: the link a result
// was opened from is written in JSON alone, and the link of a long line is as long as the line.
void LetGoOfUnwritten(HandOffForm form, LineResult& result);

// A download as aria2's and IDM's forms give it to the downloader.
struct Download {
  std::string uri;                     // the bytes the link carried, escaped (DownloaderUri)
  std::optional<std::u16string> name;  // the name aria2 saves it under; none in IDM's form
};

// What a layer above the lists adds to a line's entry, such as a check of its address.
struct EntryExtra {
  std::string linesTail;    // after the result in the lines form, before the line's end
  std::string jsonMembers;  // members added to the line's JSON object, each after a comma
};

// What the hand-off made of one line.
struct Handed {
  // The words of a note, in English for a front end to translate, when the form left out a
  // result it cannot hold; failures are the caller's to report.
  std::optional<std::string> note;
  // In aria2's and IDM's forms, the download written for the line; none for a repeat.
  std::optional<Download> download;
};

// Writes a list's results in one form, line after line. The same download twice is written once,
// when fewer than RepeatMemory::kGeneration other downloads stand between the two.
// Downloads that reach `machine` are left out with a note; `machine` must outlive the hand-off.
class HandOff {
 public:
  HandOff(HandOffForm form, ListMode mode, const ThisMachine& machine = EveryMachine());

  // Appends what line `number` (from 1) with `result` gives to `out`, and `extra` in the forms
  // that hold it (lines and JSON).
  Handed Append(long number, const LineResult& result, std::string& out,
                const EntryExtra& extra = {});

  // From now on, hands a long entry to `spill` a piece at a time while it is written, rather
  // than making it whole in `out`: for a front end that writes the entries to a file.
  void SpillTo(Spill spill) { spill_ = std::move(spill); }

 private:
  // aria2's and IDM's forms: the download, unless the form cannot take it, it reaches this
  // machine, or it was written before.
  Handed AppendDownload(const LineResult& result, std::string& out);

  HandOffForm form_;
  ListMode mode_;
  const ThisMachine* machine_;
  RepeatMemory repeats_;
  Spill spill_;
};

}  // namespace zentrova::lists
