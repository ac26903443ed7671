#include "lists/hand_off.h"

#include "lists/hand_off_forms.h"

namespace zentrova::lists {

bool FormHolds(HandOffForm form, ListMode mode) {
  return mode == ListMode::kDecode || form == HandOffForm::kLines || form == HandOffForm::kJson;
}

void LetGoOfUnwritten(HandOffForm form, LineResult& result) {
  if (form != HandOffForm::kJson) std::string().swap(result.link);  // swapped: clear() keeps it
}

HandOff::HandOff(HandOffForm form, ListMode mode, const ThisMachine& machine)
    : form_(form), mode_(mode), machine_(&machine) {}

Handed HandOff::Append(long number, const LineResult& result, std::string& out,
                       const EntryExtra& extra) {
  switch (form_) {
    case HandOffForm::kLines:
      AppendLinesEntry(result, out, spill_, extra.linesTail);
      return {};
    case HandOffForm::kJson:
      AppendJsonEntry(number, result, mode_, out, spill_, extra.jsonMembers);
      return {};
    case HandOffForm::kAria2:
    case HandOffForm::kEf2:
      break;
  }
  return AppendDownload(result, out);
}

Handed HandOff::AppendDownload(const LineResult& result, std::string& out) {
  if (!HoldsAddress(result)) return {};
  Download download{DownloaderUri(result.bytes), std::nullopt};
  // The downloader fetches from where it runs, past every protection a browser gives a page: a
  // posted list could make it drive a service that listens only there (aria2's own JSON-RPC
  // answers GET requests). Both the address read and the one the downloader is given count, and
  // this is said before any other reason, as the one that matters most.
  if (ReachesThisMachine(result.text, download.uri, *machine_)) {
    return {Note("the address names this machine, which a downloader would reach past the "
                 "protections a browser gives; left out"),
            {}};
  }
  if (auto note = LeftOutOf(form_, DownloadKindOf(result.text))) return {std::move(note), {}};
  if (!repeats_.FirstTime(download.uri)) return {};
  if (form_ == HandOffForm::kEf2) {
    AppendEf2Entry(download, out, spill_);
  } else {
    download.name = ReadableName(result.text);
    AppendAria2Entry(download, out, spill_);
  }
  return {std::nullopt, std::move(download)};
}

}  // namespace zentrova::lists
