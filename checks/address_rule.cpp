#include "checks/address_rule.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "checks/url_text.h"

namespace zentrova::checks {
namespace {

using lists::IpAddress;

bool ZerosIn(const IpAddress& address, std::size_t from, std::size_t to) {
  return std::all_of(address.begin() + from, address.begin() + to,
                     [](std::uint8_t byte) { return byte == 0; });
}

// The IPv4 address an IPv6 address carries where a stack would reach that IPv4 address: the
// mapped form (::ffff:a.b.c.d), the old compatible form (::a.b.c.d) and NAT64's 64:ff9b::/96.
std::optional<std::uint32_t> CarriedIpv4(const IpAddress& address) {
  const bool mapped = ZerosIn(address, 0, 10) && address[10] == 0xFF && address[11] == 0xFF;
  const bool compatible = ZerosIn(address, 0, 12);
  const bool nat64 = address[0] == 0x00 && address[1] == 0x64 && address[2] == 0xFF &&
                     address[3] == 0x9B && ZerosIn(address, 4, 12);
  if (!mapped && !compatible && !nat64) return std::nullopt;
  return std::uint32_t{address[12]} << 24 | std::uint32_t{address[13]} << 16 |
         std::uint32_t{address[14]} << 8 | address[15];
}

bool In(std::uint32_t address, std::uint32_t network, int bits) {
  const std::uint32_t mask = bits == 0 ? 0 : ~std::uint32_t{0} << (32 - bits);
  return (address & mask) == network;
}

Trouble OfIpv4(std::uint32_t v4) {
  if (In(v4, 0x0A000000, 8) || In(v4, 0xAC100000, 12) || In(v4, 0xC0A80000, 16) ||
      In(v4, 0xA9FE0000, 16) || In(v4, 0x64400000, 10)) {
    return Trouble::kPrivateNetwork;
  }
  // 0/8 ("this network"), multicast, and 240/4 with the broadcast address serve nobody.
  if (In(v4, 0x00000000, 8) || In(v4, 0xE0000000, 4) || In(v4, 0xF0000000, 4)) {
    return Trouble::kReserved;
  }
  return Trouble::kNone;
}

Trouble OfIpv6(const IpAddress& address) {
  const std::uint8_t first = address[0];
  const std::uint8_t second = address[1];
  if (first == 0xFE && (second & 0xC0) == 0x80) return Trouble::kPrivateNetwork;  // fe80::/10
  if (first == 0xFE && (second & 0xC0) == 0xC0) return Trouble::kPrivateNetwork;  // fec0::/10
  if ((first & 0xFE) == 0xFC) return Trouble::kPrivateNetwork;                    // fc00::/7
  if (first == 0xFF) return Trouble::kReserved;                                   // multicast
  return Trouble::kNone;
}

}  // namespace

Trouble RefusalOfPeer(const IpAddress& address, const AddressRule& rule) {
  if (rule.machine->IsAddress(address)) return Trouble::kThisMachine;
  const std::optional<std::uint32_t> v4 = CarriedIpv4(address);
  if (v4 && rule.machine->IsAddress(lists::MappedIpv4(*v4))) return Trouble::kThisMachine;
  const Trouble trouble = v4 ? OfIpv4(*v4) : OfIpv6(address);
  if (trouble == Trouble::kPrivateNetwork && rule.allowLan) return Trouble::kNone;
  return trouble;
}

Trouble RefusalOfSpelling(std::string_view url, const AddressRule& rule) {
  const std::u16string host = lists::UrlHost(Widened(url));
  if (rule.machine->IsHost(host)) return Trouble::kThisMachine;
  const std::optional<IpAddress> address = lists::HostAddress(host);
  return address ? RefusalOfPeer(*address, rule) : Trouble::kNone;
}

}  // namespace zentrova::checks
