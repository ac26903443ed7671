// The parts of a hop's address a transport that speaks for itself needs: where to connect, what
// to ask for, and the login an ftp address carries.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zentrova::checks {

struct HopTarget {
  std::string scheme;    // "http", "https" or "ftp", lower case
  std::string user;      // as written, still escaped; "" when none
  std::string password;  // as written, still escaped
  bool hasPassword = false;
  std::string host;       // a name, or a literal without brackets
  std::string authority;  // host and port as a Host header writes them (brackets kept)
  std::uint16_t port = 0;
  std::string path;  // path and query, from the first "/" ("/" when none), no fragment
};

// Reads `url` (http, https or ftp, ASCII); nothing when it is none, has no host, or has a port
// that is no port.
std::optional<HopTarget> ReadHopTarget(std::string_view url);

// `text` with its %XX escapes undone; nothing when an escape is broken.
std::optional<std::string> Unescaped(std::string_view text);

}  // namespace zentrova::checks
