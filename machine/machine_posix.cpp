#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <unistd.h>

#include <cstring>

#include "codec/utf8.h"
#include "machine/machine_system.h"

namespace zentrova::machine::sys {

std::filesystem::path HostsFilePath() { return "/etc/hosts"; }

std::u16string OwnName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return u"";
  return FromUtf8(name);
}

std::vector<lists::IpAddress> OwnAddresses() {
  std::vector<lists::IpAddress> addresses;
  ifaddrs* interfaces = nullptr;
  if (getifaddrs(&interfaces) != 0) return addresses;
  for (const ifaddrs* at = interfaces; at != nullptr; at = at->ifa_next) {
    if (at->ifa_addr == nullptr) continue;
    if (at->ifa_addr->sa_family == AF_INET) {
      sockaddr_in ipv4;
      std::memcpy(&ipv4, at->ifa_addr, sizeof ipv4);
      addresses.push_back(lists::MappedIpv4(ntohl(ipv4.sin_addr.s_addr)));
    } else if (at->ifa_addr->sa_family == AF_INET6) {
      sockaddr_in6 ipv6;
      std::memcpy(&ipv6, at->ifa_addr, sizeof ipv6);
      lists::IpAddress address;
      std::memcpy(address.data(), &ipv6.sin6_addr, address.size());
      addresses.push_back(address);
    }
  }
  freeifaddrs(interfaces);
  return addresses;
}

}  // namespace zentrova::machine::sys
