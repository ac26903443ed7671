// Connections a check makes itself on Windows, each to an address the rule was asked about: the
// name is resolved once, every address it gave is judged, and the socket goes to one of those
// very addresses, so that no second lookup can lead elsewhere. WinHTTP, which has no hook on its
// own sockets, is handed such a connection through the relay (vetted_relay.h).
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "checks/address_rule.h"
#include "checks/verdict.h"
#include "lists/this_machine.h"

namespace zentrova::checks::windows {

using Clock = std::chrono::steady_clock;
using Socket = std::uintptr_t;  // a Winsock SOCKET
inline constexpr Socket kNoSocket = ~Socket{0};

// The addresses `host` (a name, or a literal without brackets) resolves to, in the resolver's
// order; an empty list when it resolves to none.
using Resolver = std::function<std::vector<lists::IpAddress>(const std::string& host)>;

// The system's resolver (getaddrinfo); a literal stands for itself.
Resolver SystemResolver();

// The addresses `resolve` gives for `host` before `deadline`; nothing when it has not answered
// by then (the lookup, which the system gives no time of its own, goes on alone and its answer
// is dropped).
std::optional<std::vector<lists::IpAddress>> ResolveWithin(const Resolver& resolve,
                                                           const std::string& host,
                                                           Clock::time_point deadline);

struct Vetting {
  std::vector<lists::IpAddress> addresses;  // to connect to, in this order
  Trouble trouble = Trouble::kNone;         // kNoSuchHost, kTimeout, or why the host is refused
};

// Resolves `host` once and judges every address it gave. A name that gives a refused address
// among allowed ones is refused: that is how a name is made to lead to this machine on a second
// lookup, and nothing may connect to it.
Vetting Vet(const std::string& host, const AddressRule& rule, const Resolver& resolve,
            Clock::time_point deadline);

struct Connected {
  Socket socket = kNoSocket;
  Trouble trouble = Trouble::kNone;  // kConnectionRefused or kTimeout when there is no socket
};

// Connects to `port` at the first of `addresses` that takes the connection before `deadline`.
Connected ConnectToAny(const std::vector<lists::IpAddress>& addresses, std::uint16_t port,
                       Clock::time_point deadline);

void CloseSocket(Socket socket);

// Sends all of `bytes`; false when the connection failed or `deadline` passed first.
bool SendAll(Socket socket, std::string_view bytes, Clock::time_point deadline);

enum class Received { kData, kClosed, kTimeout, kFailed };

// Receives what has arrived, at most `room` bytes, waiting until `deadline` at most.
Received ReceiveSome(Socket socket, char* into, std::size_t room, std::size_t& got,
                     Clock::time_point deadline);

// A listening socket on 127.0.0.1 at a port the system chooses; kNoSocket when none.
Socket ListenOnLoopback(std::uint16_t& port);

// The connection waiting on `listening`, or kNoSocket when none came before `deadline` or
// `stop` says so (it is asked between short waits).
Socket AcceptOne(Socket listening, Clock::time_point deadline, const std::function<bool()>& stop);

}  // namespace zentrova::checks::windows
