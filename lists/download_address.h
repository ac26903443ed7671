// A download as a downloader needs it: the address with the very bytes the link carried,
// escaped, the name a person reads for its file, and whether it reaches this machine. The bytes
// matter: a downloader that re-encodes the readable text as UTF-8 asks a server that keeps its
// names in GBK for a file it does not have.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "lists/this_machine.h"

namespace zentrova::lists {

// What a download is to the downloaders' forms: a file from a server, a magnet, an ed2k link.
enum class DownloadKind { kFile, kMagnet, kEd2k };

// Returns the kind of download `address` is.
DownloadKind DownloadKindOf(std::u16string_view address);

// Returns `bytes` as a URI: every byte outside printable ASCII, and the space, written as "%XX"
// (upper-case hex), every other byte as it stands (so escapes already there stay as they are).
std::string DownloaderUri(std::string_view bytes);

// Appends DownloaderUri(bytes) to `out`, where a long address need not be made twice.
void AppendDownloaderUri(std::string_view bytes, std::string& out);

// Returns the name a person reads for the file at `address`: its last path segment (an ed2k
// file link's name field), with percent escapes that form UTF-8 (or, failing that, GBK, chosen
// as lists choose) turned into characters. Nothing for magnets and other ed2k links, for an
// address whose path ends in "/", and
// for a name that would leave its folder ("..", "/" or "\" after unescaping) or that holds a
// character no one could see. The name is one every system can create (SafeFileName): nothing
// for a Windows device name, however written.
std::optional<std::u16string> ReadableName(std::u16string_view address);

// Whether handing the address read as `address`, given to a downloader as `uri` (DownloaderUri of
// its bytes), reaches `machine`: either naming it counts, since a downloader and a person may
// read the two differently.
bool ReachesThisMachine(std::u16string_view address, std::string_view uri,
                        const ThisMachine& machine = EveryMachine());

}  // namespace zentrova::lists
