#include <winsock2.h>
#include <ws2tcpip.h>
// After winsock2.h:
#include <iphlpapi.h>
#include <windows.h>

#include <cstring>

#include "machine/machine_system.h"

namespace zentrova::machine::sys {

std::filesystem::path HostsFilePath() {
  wchar_t system[MAX_PATH];
  const UINT length = GetSystemDirectoryW(system, MAX_PATH);
  std::filesystem::path folder = length > 0 && length < MAX_PATH
                                     ? std::filesystem::path(std::wstring(system, length))
                                     : std::filesystem::path(L"C:\\Windows\\System32");
  return folder / L"drivers" / L"etc" / L"hosts";
}

std::u16string OwnName() {
  wchar_t name[256];
  DWORD size = 256;
  if (!GetComputerNameExW(ComputerNameDnsFullyQualified, name, &size)) return u"";
  return std::u16string(reinterpret_cast<const char16_t*>(name), size);
}

std::vector<lists::IpAddress> OwnAddresses() {
  std::vector<lists::IpAddress> addresses;
  ULONG size = 16 * 1024;
  std::vector<unsigned char> buffer;
  ULONG answer = ERROR_BUFFER_OVERFLOW;
  for (int tries = 0; tries < 3 && answer == ERROR_BUFFER_OVERFLOW; ++tries) {
    buffer.resize(size);
    answer = GetAdaptersAddresses(
        AF_UNSPEC, GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER,
        nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
  }
  if (answer != NO_ERROR) return addresses;
  for (auto* adapter = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()); adapter != nullptr;
       adapter = adapter->Next) {
    for (auto* unicast = adapter->FirstUnicastAddress; unicast != nullptr;
         unicast = unicast->Next) {
      const sockaddr* socket = unicast->Address.lpSockaddr;
      if (socket->sa_family == AF_INET) {
        sockaddr_in ipv4;
        std::memcpy(&ipv4, socket, sizeof ipv4);
        addresses.push_back(lists::MappedIpv4(ntohl(ipv4.sin_addr.s_addr)));
      } else if (socket->sa_family == AF_INET6) {
        sockaddr_in6 ipv6;
        std::memcpy(&ipv6, socket, sizeof ipv6);
        lists::IpAddress address;
        std::memcpy(address.data(), &ipv6.sin6_addr, address.size());
        addresses.push_back(address);
      }
    }
  }
  return addresses;
}

}  // namespace zentrova::machine::sys
