// The seam between a check and the system's network stack: one request at a time for each
// address, many addresses at once. Which request comes next (HEAD, the ranged GET, the next
// redirect) is decided in address_check, the same on every system; a transport only carries a
// request and hands back what the server said.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "checks/address_rule.h"
#include "checks/verdict.h"

namespace zentrova::checks {

// One request of a check.
struct Hop {
  std::size_t id = 0;  // the caller's, handed back with the reply
  std::string url;     // http, https or ftp; ASCII, escaped as a downloader is given it
  // HEAD (false), or GET with "Range: bytes=0-0" whose body is not read (true). Not used for ftp,
  // whose check asks the file's size and never downloads it.
  bool ranged = false;
  // The proxy to send it through ("http://host:port", "socks5h://…"), or none for a direct
  // connection. The proxy is the person's own and is reached wherever it runs; a direct
  // connection is made only to an address that `rule` allows, the address that was checked.
  std::optional<std::string> proxy;
  std::chrono::milliseconds timeout{15000};  // for this request, connection included
};

// What a server said to one request. A redirect is not followed: its Location is handed back.
struct Reply {
  Answer answer;         // `final` is the request's url
  std::string location;  // Location of a 3xx answer, as sent ("" when none)
  // The connection ended before any answer; some servers do that to HEAD.
  bool closedWithoutAnswer = false;
};

class Transport {
 public:
  virtual ~Transport() = default;

  // Starts `hop` and returns at once.
  virtual void Start(Hop hop) = 0;

  // Waits at most `most` for started requests to end; returns those that ended, in any order.
  virtual std::vector<std::pair<std::size_t, Reply>> Wait(std::chrono::milliseconds most) = 0;
};

// The system's transport: libcurl on Linux, WinHTTP on Windows. It sends `userAgent`, keeps no
// cookies, reads no body and at most kMostHeaderBytes of headers, and never connects directly
// to an address `rule` refuses (such a request ends with that Trouble).
std::unique_ptr<Transport> SystemTransport(const AddressRule& rule, std::string userAgent);

inline constexpr std::size_t kMostHeaderBytes = 64 * 1024;

// The system's own proxy for `url`, which counts after the environment's: on Windows the
// person's WinHTTP and Internet Options settings (a PAC script included where WinHTTP runs it);
// nothing on Linux, where the environment is the setting.
std::optional<std::string> SystemProxy(std::string_view url);

}  // namespace zentrova::checks
