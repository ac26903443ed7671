// Decoded lists in the forms downloaders take: the address as a downloader needs it (the bytes
// the link carried, escaped), the file name a person reads, and whole lists as an aria2 input
// file, an IDM export or JSON Lines. The bytes matter: a downloader that re-encodes the readable
// text as UTF-8 asks a server that keeps its names in GBK for a file it does not have.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lists/found_links.h"
#include "lists/list_run.h"

namespace zentrova::lists {

// Returns `bytes` as a URI: every byte outside printable ASCII, and the space, written as "%XX"
// (upper-case hex), every other byte as it stands (so escapes already there stay as they are).
std::string DownloaderUri(std::string_view bytes);

// Returns the name a person reads for the file at `address`: its last path segment, with
// percent escapes that form UTF-8 (or, failing that, GBK, chosen as lists choose) turned into
// characters. Nothing for magnet and ed2k addresses, for an address whose path ends in "/", and
// for a name that would leave its folder ("..", "/" or "\" after unescaping) or that holds a
// character no one could see. The name is one every system can create (SafeFileName): nothing
// for a Windows device name, however written.
std::optional<std::u16string> ReadableName(std::u16string_view address);

// Whether handing the address read as `address`, given to a downloader as `uri` (DownloaderUri of
// its bytes), reaches this machine: either naming it counts, since a downloader and a person may
// read the two differently.
bool ReachesThisMachine(std::u16string_view address, std::string_view uri);

enum class HandOffForm {
  kLines,  // one result line for each input line, as people read them
  kAria2,  // aria2's input file (aria2c -i): the escaped URI, then "  out=NAME"
  kEf2,    // Internet Download Manager's export: "<", the URI, ">", CR LF line ends
  kJson,   // JSON Lines: one object for each input line
};

// Returns the form called `name` ("lines", "aria2", "ef2" or "json"), or nothing.
std::optional<HandOffForm> HandOffFormNamed(std::string_view name);

// Whether `form` can hold the results of `mode`: aria2's and IDM's files hold only downloads.
bool FormHolds(HandOffForm form, ListMode mode);

// Writes a list's results in one form, line after line. The same download twice is written once,
// when fewer than 65,536 other downloads stand between the two.
class HandOff {
 public:
  HandOff(HandOffForm form, ListMode mode);

  // Appends what line `number` (from 1) with `result` gives to `out`. Returns the words of a
  // note, in English for a front end to translate, when the form leaves a result out that it
  // cannot hold; failures are the caller's to report.
  std::optional<std::string> Append(long number, const LineResult& result, std::string& out);

 private:
  // Downloads written, each as two independent 64-bit hashes (16 bytes, whatever the length of
  // its address) in an open-addressed table at most half full.
  using Key = std::pair<std::uint64_t, std::uint64_t>;
  struct Table {
    std::vector<Key> slots;  // {0, 0}: empty
    std::size_t count = 0;
  };
  // Downloads remembered in two generations of this many each: at most 4 MB, which the
  // processor keeps close at hand.
  static constexpr std::size_t kGeneration = std::size_t{1} << 16;

  static bool Remembered(const Table& table, const Key& key);
  static void Remember(Table& table, const Key& key);
  // Whether the download `uri` is new; remembers it.
  bool FirstTime(std::string_view uri);

  HandOffForm form_;
  ListMode mode_;
  Table recent_;
  Table older_;
};

}  // namespace zentrova::lists
