// The check of an ftp address on Windows, by a small client of our own over Winsock, so that the
// control connection and any data connection go only to vetted addresses (or through the
// person's HTTP proxy, by CONNECT). It logs in, asks SIZE, else MDTM, else for a listing, and
// downloads nothing.
#pragma once

#include "checks/check_transport.h"
#include "checks/vetted_socket.h"

namespace zentrova::checks::windows {

// Asks about `hop` (an ftp address). The reply code that settled it is the answer's status:
// 213 for a size or a time, 550 for a file the server does not have, the login's refusal.
Reply AskFtp(const Hop& hop, const AddressRule& rule, const Resolver& resolve);

// A connection to `host`:`port` through the HTTP proxy `proxy` ("http://host:port", or without
// the scheme), by CONNECT; kProxyFailed when the proxy cannot be reached or will not carry it.
Connected ThroughProxy(const std::string& proxy, const std::string& authority,
                       const Resolver& resolve, Clock::time_point deadline);

}  // namespace zentrova::checks::windows
