// Addresses that name the machine they are read on. A downloader fetches what it is handed
// from where it runs, past every protection a browser gives a page, so a page or a posted list
// that hands it such an address reaches services that listen only there (aria2's own JSON-RPC
// among them, which also answers GET requests).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrova::lists {

// An IP address in its sixteen bytes; an IPv4 address in its IPv4-mapped form (::ffff:a.b.c.d),
// so that both spellings of one address compare equal.
using IpAddress = std::array<std::uint8_t, 16>;

// Returns the address of an IP literal as hosts files and resolvers write it: dotted IPv4
// (a.b.c.d only) or IPv6 (with "::", a dotted tail, an optional "%zone"), no brackets.
std::optional<IpAddress> IpLiteral(std::u16string_view text);

// Returns the address `ipv4` in its IPv4-mapped form.
IpAddress MappedIpv4(std::uint32_t ipv4);

// Returns the address of `host` as it stands in an address, when it is a literal: IPv6 in
// brackets, or IPv4 in any form resolvers accept (short, whole-number, hexadecimal, octal,
// escaped, full-width, with final dots); nothing for a name.
std::optional<IpAddress> HostAddress(std::u16string_view host);

// Returns the host of `url` ("scheme://user@host:port/…") as browsers find it, brackets kept.
std::u16string UrlHost(std::u16string_view url);

// Whether `address` is one every machine has for itself: 127.0.0.0/8, 0.0.0.0, ::1, ::.
bool IsLoopback(const IpAddress& address);

// This machine as it knows itself, besides what every machine is (localhost, 127.0.0.0/8, ::1,
// and the names resolvers make up for it, such as localhost.localdomain): the names its hosts
// file maps here, its own name, its own addresses. The programs that run on the machine read
// these once a run; the browser's core, which cannot, knows only what every machine is.
class ThisMachine {
 public:
  ThisMachine() = default;
  // `names` in any case, with or without a final dot.
  ThisMachine(std::vector<std::u16string> names, std::vector<IpAddress> addresses);

  // Whether `host` (as it stands in an address: a name, IPv4 in any form resolvers accept, or
  // IPv6 in brackets; any case, trailing dots) is this machine.
  bool IsHost(std::u16string_view host) const;

  // Whether fetching `address` reaches this machine: an http, https or ftp address whose host
  // is this machine; a magnet with a tracker or source (http, https, ftp or udp) there; an ed2k
  // link whose server, server or node list, sources or web sources are there.
  bool Reaches(std::u16string_view address) const;

  // Whether `address` is one of this machine's: loopback, or one of its own.
  bool IsAddress(const IpAddress& address) const;

 private:
  bool IsName(std::u16string_view name) const;

  std::vector<std::u16string> names_;  // lower case, no final dot, sorted
  std::vector<IpAddress> addresses_;   // sorted
};

// The machine known only by what every machine is: all the browser's core can know.
const ThisMachine& EveryMachine();

// The same for a machine known only by what every machine is.
bool IsThisMachineHost(std::u16string_view host);
bool IsOnThisMachine(std::u16string_view address);

}  // namespace zentrova::lists
