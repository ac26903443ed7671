// Whether an address will still download, as its server's answer shows. Pure: a transport asks
// the server (check_transport.h) and hands over what it said, and the command line and the
// extension judge that answer alike, so the same answer gets the same verdict and words
// everywhere.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zentrova::checks {

enum class State {
  kAlive,    // the server serves the file
  kDead,     // the server, or the name, says the file is gone
  kUnknown,  // nothing sure was learnt: a login, a failing server, a time-out, peers
  kRefused,  // nothing was asked: the address leads to this machine or a private network
};

// What asking came to when the server gave no status to judge by.
enum class Trouble {
  kNone,               // the server answered with a status
  kNoSuchHost,         // the name does not resolve
  kConnectionRefused,  // nothing listens at the address
  kTimeout,            // no whole answer within the check's time
  kTls,                // the secure connection could not be made or trusted
  kTooManyRedirects,   // more than kMostRedirects
  kBrokenAnswer,       // the connection closed, or the answer was not HTTP or FTP
  kThisMachine,        // refused: the address leads to this machine
  kPrivateNetwork,     // refused: the address leads to a private network
  kReserved,           // refused: the address serves nobody (0/8, multicast, broadcast)
  kProxyFailed,        // the proxy could not be reached or would not carry the request
};

// Redirects followed for one address before it is given up on.
inline constexpr int kMostRedirects = 10;

// What a server said of an address, as the transport heard it: raw header values, so that every
// system reads them by the same rules.
struct Answer {
  Trouble trouble = Trouble::kNone;
  bool ftp = false;           // `status` is an FTP reply code, `length` the reply to SIZE
  int status = 0;             // 0: none
  std::string type;           // Content-Type as sent ("" when none)
  std::string contentLength;  // as sent ("" when none); FTP's SIZE in decimal
  std::string contentRange;   // as sent ("" when none)
  std::string final;          // the address the answer is for, after redirects
};

struct Verdict {
  State state = State::kUnknown;
  std::optional<int> status;
  std::optional<std::uint64_t> size;
  std::optional<std::string> type;  // the media type, lower case, without parameters
  // Why, as an English sentence of the catalogue, for every state but alive.
  const char* reason = nullptr;
  std::optional<std::string> final;  // where the address led, when that differs from it
};

// Judges `answer` for `address`, the address the check began with: its name tells a removed
// file's HTML page from the file.
Verdict Judge(const Answer& answer, std::string_view address);

// The verdict of an address no server is asked about: ed2k and magnet links, which are found
// through peers; nothing when `address` is one to ask about (http, https or ftp).
std::optional<Verdict> VerdictWithoutAsking(std::string_view address);

// The verdict of an address that was refused before anything was asked (`why` is kThisMachine,
// kPrivateNetwork or kReserved).
Verdict RefusedVerdict(Trouble why);

// "alive", "dead", "unknown", "refused": the state as JSON writes it.
std::string_view StateName(State state);

// Whether a downloader should still be given an address in `state`: an unknown one may arrive.
inline bool WorthDownloading(State state) {
  return state == State::kAlive || state == State::kUnknown;
}

// Whether the path of `address` ends in the extension of a file people download (.mkv, .rar,
// .exe…), for which an HTML answer means the file is gone.
bool NamesAFile(std::string_view address);

// The whole length of a resource from a Content-Range value ("bytes 0-0/1234"); nothing for
// "*" or a value that is not one.
std::optional<std::uint64_t> RangeTotal(std::string_view contentRange);

}  // namespace zentrova::checks
