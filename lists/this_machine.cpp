#include "lists/this_machine.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "codec/utf8.h"
#include "links/ascii_case.h"

namespace zentrova::lists {

using links::StartsWithNoCase;

using links::Lower;

using links::HexValue;
namespace {

// The host as a browser ends up with it: escapes undone, full-width letters and digits and the
// ideographic full stops folded to ASCII (as its name mapping does), the characters that mapping
// ignores dropped, ASCII letters lowered. Nothing when the escapes leave invalid UTF-8, which no
// browser or resolver takes as a host.
std::optional<std::u16string> NormalisedHost(std::u16string_view host) {
  std::string bytes;
  bytes.reserve(host.size());
  for (std::size_t at = 0; at < host.size(); ++at) {
    const char16_t c = host[at];
    if (c == u'%' && at + 2 < host.size() && HexValue(host[at + 1]) >= 0 &&
        HexValue(host[at + 2]) >= 0) {
      bytes.push_back(static_cast<char>(HexValue(host[at + 1]) * 16 + HexValue(host[at + 2])));
      at += 2;
    } else {
      AppendUtf8(host.substr(at, 1), bytes);
    }
  }
  const std::optional<std::u16string> decoded = FromValidUtf8(bytes);
  if (!decoded) return std::nullopt;
  std::u16string folded;
  folded.reserve(decoded->size());
  for (const char16_t c : *decoded) {
    if (c >= 0xFF01 && c <= 0xFF5E) {
      folded.push_back(Lower(static_cast<char16_t>(c - 0xFF01 + 0x21)));
    } else if (c == 0x3002 || c == 0xFF0E || c == 0xFF61) {
      folded.push_back(u'.');
    } else if (c == 0x00AD || c == 0x034F || c == 0x200B || c == 0x2060 || c == 0xFEFF ||
               (c >= 0x180B && c <= 0x180D) || (c >= 0xFE00 && c <= 0xFE0F)) {
      continue;
    } else {
      folded.push_back(Lower(c));
    }
  }
  return folded;
}

// One part of an IPv4 address as resolvers read it: 0x hexadecimal, a leading 0 octal, else
// decimal. Values past 2^32 are held at 2^32, which no part may reach.
std::optional<std::uint64_t> Ipv4Part(std::u16string_view part) {
  int base = 10;
  if (part.size() >= 2 && part[0] == u'0' && Lower(part[1]) == u'x') {
    base = 16;
    part.remove_prefix(2);
  } else if (part.size() >= 2 && part[0] == u'0') {
    base = 8;
    part.remove_prefix(1);
  } else if (part.empty()) {
    return std::nullopt;
  }
  constexpr std::uint64_t kCap = std::uint64_t{1} << 32;
  std::uint64_t value = 0;
  for (const char16_t c : part) {
    const int digit = HexValue(c);
    if (digit < 0 || digit >= base) return std::nullopt;
    value = value * base + static_cast<std::uint64_t>(digit);
    if (value > kCap) value = kCap;
  }
  return value;
}

// The address of an IPv4 host in any of the forms resolvers (inet_aton) and browsers accept:
// one to four parts, the last filling the bytes the others leave.
std::optional<std::uint32_t> Ipv4Address(std::u16string_view host) {
  std::vector<std::uint64_t> parts;
  while (true) {
    const std::size_t dot = host.find(u'.');
    const std::optional<std::uint64_t> part = Ipv4Part(host.substr(0, dot));
    if (!part || parts.size() == 4) return std::nullopt;
    parts.push_back(*part);
    if (dot == std::u16string_view::npos) break;
    host.remove_prefix(dot + 1);
  }
  std::uint64_t address = 0;
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
    if (parts[i] > 0xFF) return std::nullopt;
    address |= parts[i] << (8 * (3 - i));
  }
  const std::uint64_t last = parts.back();
  if (last >= (std::uint64_t{1} << (8 * (5 - parts.size())))) return std::nullopt;
  return static_cast<std::uint32_t>(address | last);
}

// The strict dotted IPv4 tail of an IPv6 address: four decimal parts, no leading zeros.
std::optional<std::uint32_t> DottedIpv4Tail(std::u16string_view rest) {
  std::uint32_t address = 0;
  for (int parts = 0;; ++parts) {
    const std::size_t dot = rest.find(u'.');
    const std::u16string_view part = rest.substr(0, dot);
    if (part.empty() || part.size() > 3 || (part.size() > 1 && part[0] == u'0')) {
      return std::nullopt;
    }
    std::uint32_t value = 0;
    for (const char16_t c : part) {
      if (c < u'0' || c > u'9') return std::nullopt;
      value = value * 10 + (c - u'0');
    }
    if (value > 0xFF) return std::nullopt;
    address = address << 8 | value;
    if (dot == std::u16string_view::npos) {
      if (parts != 3) return std::nullopt;
      return address;
    }
    rest.remove_prefix(dot + 1);
  }
}

// One group of an IPv6 address: one to four hexadecimal digits.
std::optional<std::uint16_t> Ipv6Group(std::u16string_view piece) {
  if (piece.empty() || piece.size() > 4) return std::nullopt;
  std::uint16_t value = 0;
  for (const char16_t c : piece) {
    const int digit = HexValue(c);
    if (digit < 0) return std::nullopt;
    value = static_cast<std::uint16_t>(value * 16 + digit);
  }
  return value;
}

// The eight groups of an IPv6 address (without its brackets), with "::" and a dotted IPv4 tail.
std::optional<std::array<std::uint16_t, 8>> Ipv6Address(std::u16string_view text) {
  std::array<std::uint16_t, 8> groups{};
  std::size_t count = 0;
  std::optional<std::size_t> gap;
  if (text.starts_with(u"::")) {
    gap = 0;
    text.remove_prefix(2);
  }
  while (!text.empty()) {
    if (count == 8) return std::nullopt;
    const std::size_t end = text.find(u':');
    const std::u16string_view piece = text.substr(0, end);
    if (piece.find(u'.') != std::u16string_view::npos) {
      // A dotted IPv4 tail fills the last two groups, with nothing after it.
      const auto address = DottedIpv4Tail(piece);
      if (!address || end != std::u16string_view::npos || count > 6) return std::nullopt;
      groups[count++] = static_cast<std::uint16_t>(*address >> 16);
      groups[count++] = static_cast<std::uint16_t>(*address & 0xFFFF);
      break;
    }
    const auto group = Ipv6Group(piece);
    if (!group) return std::nullopt;
    groups[count++] = *group;
    if (end == std::u16string_view::npos) break;
    text.remove_prefix(end + 1);
    if (text.starts_with(u':')) {
      if (gap) return std::nullopt;
      gap = count;
      text.remove_prefix(1);
    } else if (text.empty()) {
      return std::nullopt;  // "1::2:" ends in a lone colon
    }
  }
  if (!gap) return count == 8 ? std::optional(groups) : std::nullopt;
  if (count == 8) return std::nullopt;
  // "::" stands for the zero groups between those before it and those after it.
  std::array<std::uint16_t, 8> spread{};
  const std::size_t tail = count - *gap;
  std::copy_n(groups.begin(), *gap, spread.begin());
  std::copy_n(groups.begin() + *gap, tail, spread.end() - tail);
  return spread;
}

// Whether the last label of a name is a number, which makes browsers read the whole name as IPv4.
bool EndsInNumber(std::u16string_view host) {
  const std::size_t dot = host.rfind(u'.');
  const std::u16string_view last = dot == std::u16string_view::npos ? host : host.substr(dot + 1);
  if (last.empty()) return false;
  if (last.size() >= 2 && last[0] == u'0' && Lower(last[1]) == u'x') {
    for (const char16_t c : last.substr(2)) {
      if (HexValue(c) < 0) return false;
    }
    return true;
  }
  for (const char16_t c : last) {
    if (c < u'0' || c > u'9') return false;
  }
  return true;
}

IpAddress FromGroups(const std::array<std::uint16_t, 8>& groups) {
  IpAddress address{};
  for (std::size_t i = 0; i < 8; ++i) {
    address[2 * i] = static_cast<std::uint8_t>(groups[i] >> 8);
    address[2 * i + 1] = static_cast<std::uint8_t>(groups[i] & 0xFF);
  }
  return address;
}

// The address inside the brackets of an IPv6 host; a zone ("%25lo") names an interface of the
// same address.
std::optional<IpAddress> BracketedAddress(std::u16string_view inside) {
  inside = inside.substr(0, inside.find(u'%'));
  const auto groups = Ipv6Address(inside);
  if (!groups) return std::nullopt;
  return FromGroups(*groups);
}

// Names every machine gives itself: localhost and its subdomains, Debian's ip6- names, and
// those that Fedora's hosts file and systemd-resolved make up for this machine (_outbound is
// the address it sends from).
bool IsNameOfEveryMachine(std::u16string_view name) {
  for (const std::u16string_view own :
       {u"localhost", u"ip6-localhost", u"ip6-loopback", u"localhost.localdomain", u"localhost4",
        u"localhost4.localdomain4", u"localhost6", u"localhost6.localdomain6", u"_outbound"}) {
    if (name == own) return true;
  }
  return name.ends_with(u".localhost") || name.ends_with(u".localhost.localdomain");
}

// Percent escapes undone, as a client reads a value before it fetches it.
std::u16string Unescaped(std::u16string_view value) {
  std::string bytes;
  for (std::size_t at = 0; at < value.size(); ++at) {
    if (value[at] == u'%' && at + 2 < value.size() && HexValue(value[at + 1]) >= 0 &&
        HexValue(value[at + 2]) >= 0) {
      bytes.push_back(static_cast<char>(HexValue(value[at + 1]) * 16 + HexValue(value[at + 2])));
      at += 2;
    } else {
      AppendUtf8(value.substr(at, 1), bytes);
    }
  }
  return FromUtf8(bytes);
}

// The host of an address after its scheme. Browsers drop tabs and line ends anywhere in an
// address, and read any run of slashes and backslashes after the scheme as the start of the
// host. Only the part that names the host is copied: an address may be long.
std::u16string HostAfterScheme(std::u16string_view address, std::size_t after_scheme) {
  std::u16string authority;
  bool in_host = false;
  for (const char16_t c : address.substr(after_scheme)) {
    if (c == u'\t' || c == u'\n' || c == u'\r') continue;
    const bool ends_part = c == u'/' || c == u'\\' || c == u'?' || c == u'#';
    if (!in_host && (c == u'/' || c == u'\\')) continue;
    if (ends_part) break;
    in_host = true;
    authority.push_back(c);
  }
  const std::size_t at = authority.rfind(u'@');
  if (at != std::u16string::npos) authority.erase(0, at + 1);
  return authority;
}

// The host of "HOST:PORT" (or "[V6]:PORT"), as ed2k's sources and a host with its port have it.
std::u16string_view HostOfHostPort(std::u16string_view text) {
  if (text.starts_with(u'[')) {
    const std::size_t close = text.find(u']');
    return close == std::u16string_view::npos ? text : text.substr(0, close + 1);
  }
  return text.substr(0, text.find(u':'));
}

// Whether `field` is `word` (in lower case), in any case.
bool IsWord(std::u16string_view field, std::u16string_view word) {
  return field.size() == word.size() && StartsWithNoCase(field, word);
}

}  // namespace

IpAddress MappedIpv4(std::uint32_t ipv4) {
  IpAddress address{};
  address[10] = 0xFF;
  address[11] = 0xFF;
  for (int i = 0; i < 4; ++i) address[12 + i] = static_cast<std::uint8_t>(ipv4 >> (24 - 8 * i));
  return address;
}

std::optional<IpAddress> IpLiteral(std::u16string_view text) {
  if (text.find(u':') != std::u16string_view::npos) return BracketedAddress(text);
  const auto ipv4 = DottedIpv4Tail(text);
  if (!ipv4) return std::nullopt;
  return MappedIpv4(*ipv4);
}

bool IsLoopback(const IpAddress& address) {
  const bool zeros_before_last =
      std::all_of(address.begin(), address.end() - 1, [](std::uint8_t byte) { return byte == 0; });
  if (zeros_before_last && address[15] <= 1) return true;  // :: and ::1
  const bool mapped = std::all_of(address.begin(), address.begin() + 10,
                                  [](std::uint8_t byte) { return byte == 0; }) &&
                      address[10] == 0xFF && address[11] == 0xFF;
  if (!mapped) return false;
  // 127.0.0.0/8 and 0.0.0.0, which connects to this machine.
  return address[12] == 127 ||
         (address[12] == 0 && address[13] == 0 && address[14] == 0 && address[15] == 0);
}

ThisMachine::ThisMachine(std::vector<std::u16string> names, std::vector<IpAddress> addresses)
    : addresses_(std::move(addresses)) {
  for (std::u16string& name : names) {
    while (name.ends_with(u'.')) name.pop_back();
    for (char16_t& c : name) c = Lower(c);
    if (!name.empty()) names_.push_back(std::move(name));
  }
  std::sort(names_.begin(), names_.end());
  names_.erase(std::unique(names_.begin(), names_.end()), names_.end());
  std::sort(addresses_.begin(), addresses_.end());
  addresses_.erase(std::unique(addresses_.begin(), addresses_.end()), addresses_.end());
}

bool ThisMachine::IsName(std::u16string_view name) const {
  return IsNameOfEveryMachine(name) || std::binary_search(names_.begin(), names_.end(), name);
}

bool ThisMachine::IsAddress(const IpAddress& address) const {
  return IsLoopback(address) || std::binary_search(addresses_.begin(), addresses_.end(), address);
}

namespace {

// A host as resolvers read it: its address where it is a literal (IPv6 in brackets, IPv4 in any
// form inet_aton takes), else its name in lower case without final dots; nothing when it is
// neither (an unclosed bracket, a number no resolver reads, escapes that leave no text).
using ReadHost = std::variant<IpAddress, std::u16string>;

std::optional<ReadHost> ReadHostOf(std::u16string_view host) {
  if (host.starts_with(u'[')) {
    const std::size_t close = host.find(u']');
    if (close == std::u16string_view::npos) return std::nullopt;
    const auto address = BracketedAddress(host.substr(1, close - 1));
    if (!address) return std::nullopt;
    return *address;
  }
  const std::optional<std::u16string> normalised = NormalisedHost(host);
  if (!normalised) return std::nullopt;
  std::u16string_view name = *normalised;
  while (name.ends_with(u'.')) name.remove_suffix(1);
  if (name.empty()) return std::nullopt;
  if (EndsInNumber(name)) {
    const std::optional<std::uint32_t> address = Ipv4Address(name);
    if (!address) return std::nullopt;
    return MappedIpv4(*address);
  }
  return std::u16string(name);
}

}  // namespace

std::optional<IpAddress> HostAddress(std::u16string_view host) {
  const std::optional<ReadHost> read = ReadHostOf(host);
  if (!read || !std::holds_alternative<IpAddress>(*read)) return std::nullopt;
  return std::get<IpAddress>(*read);
}

bool ThisMachine::IsHost(std::u16string_view host) const {
  const std::optional<ReadHost> read = ReadHostOf(host);
  if (!read) return false;
  if (const IpAddress* address = std::get_if<IpAddress>(&*read)) return IsAddress(*address);
  return IsName(std::get<std::u16string>(*read));
}

namespace {

// Whether an address of one of `schemes` (each with its colon) reaches `machine` by its host.
bool UrlReaches(const ThisMachine& machine, std::u16string_view url,
                std::initializer_list<std::u16string_view> schemes) {
  for (const std::u16string_view scheme : schemes) {
    if (StartsWithNoCase(url, scheme)) {
      return machine.IsHost(HostOfHostPort(HostAfterScheme(url, scheme.size())));
    }
  }
  return false;
}

// A magnet's trackers and sources (tr=, xs=, as=, ws=, …) are addresses the client fetches or
// announces to with GET requests of its own: any parameter holding one on this machine counts.
bool MagnetReaches(const ThisMachine& machine, std::u16string_view magnet) {
  const std::size_t query = magnet.find(u'?');
  if (query == std::u16string_view::npos) return false;
  std::u16string_view rest = magnet.substr(query + 1);
  while (!rest.empty()) {
    const std::size_t end = std::min(rest.find(u'&'), rest.size());
    const std::u16string_view parameter = rest.substr(0, end);
    rest.remove_prefix(std::min(end + 1, rest.size()));
    const std::size_t equals = parameter.find(u'=');
    if (equals == std::u16string_view::npos) continue;
    if (UrlReaches(machine, Unescaped(parameter.substr(equals + 1)),
                   {u"http:", u"https:", u"ftp:", u"udp:"})) {
      return true;
    }
  }
  return false;
}

// An ed2k link's client connects to the server it names (ed2k://|server|HOST|PORT|/), fetches
// the server and node lists it names (|serverlist|URL|, |nodeslist|URL|), and asks the file's
// sources (|sources,HOST:PORT,…|) and web sources (|s=URL|): any of them here counts. Escaped
// bars ("%7C") are read as the bars they stand for, as clients read them.
bool Ed2kReaches(const ThisMachine& machine, std::u16string_view link) {
  const std::u16string text = Unescaped(link);
  std::vector<std::u16string_view> fields;
  std::u16string_view rest = std::u16string_view(text).substr(std::u16string_view(u"ed2k:").size());
  while (!rest.empty()) {
    const std::size_t bar = std::min(rest.find(u'|'), rest.size());
    fields.push_back(rest.substr(0, bar));
    rest.remove_prefix(std::min(bar + 1, rest.size()));
  }
  // A file link's name, size and hash are its own; what follows them are its sources.
  const bool file = fields.size() > 1 && IsWord(fields[1], u"file");
  for (std::size_t i = file ? 5 : 1; i < fields.size(); ++i) {
    const std::u16string_view field = fields[i];
    const bool names_next = i + 1 < fields.size();
    if (names_next && IsWord(field, u"server") && machine.IsHost(HostOfHostPort(fields[i + 1]))) {
      return true;
    }
    if (names_next && (IsWord(field, u"serverlist") || IsWord(field, u"nodeslist")) &&
        UrlReaches(machine, fields[i + 1], {u"http:", u"https:", u"ftp:"})) {
      return true;
    }
    if (StartsWithNoCase(field, u"s=") &&
        UrlReaches(machine, field.substr(2), {u"http:", u"https:", u"ftp:"})) {
      return true;
    }
    if (StartsWithNoCase(field, u"sources,")) {
      std::u16string_view sources = field.substr(8);
      while (!sources.empty()) {
        const std::size_t comma = std::min(sources.find(u','), sources.size());
        const std::u16string_view source = sources.substr(0, comma);
        sources.remove_prefix(std::min(comma + 1, sources.size()));
        if (!source.empty() && machine.IsHost(HostOfHostPort(source))) return true;
      }
    }
  }
  return false;
}

}  // namespace

bool ThisMachine::Reaches(std::u16string_view address) const {
  if (StartsWithNoCase(address, u"magnet:")) return MagnetReaches(*this, address);
  if (StartsWithNoCase(address, u"ed2k:")) return Ed2kReaches(*this, address);
  return UrlReaches(*this, address, {u"http:", u"https:", u"ftp:"});
}

const ThisMachine& EveryMachine() {
  static const ThisMachine machine;
  return machine;
}

bool IsThisMachineHost(std::u16string_view host) { return EveryMachine().IsHost(host); }

bool IsOnThisMachine(std::u16string_view address) { return EveryMachine().Reaches(address); }

std::u16string UrlHost(std::u16string_view url) {
  const std::size_t colon = url.find(u':');
  if (colon == std::u16string_view::npos) return {};
  return std::u16string(HostOfHostPort(HostAfterScheme(url, colon + 1)));
}

}  // namespace zentrova::lists
