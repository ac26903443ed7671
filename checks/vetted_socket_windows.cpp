#include <winsock2.h>
#include <ws2tcpip.h>
// After winsock2.h:
#include <windows.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include "checks/vetted_socket.h"

namespace zentrova::checks::windows {
namespace {

void StartWinsock() {
  static std::once_flag once;
  std::call_once(once, [] {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
  });
}

// What select may wait for at once: the rest of the time, in slices short enough that a caller's
// stop is seen soon; never negative.
timeval Slice(Clock::time_point deadline, std::chrono::milliseconds most) {
  const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
  const auto wait = std::clamp(left, std::chrono::microseconds{0},
                               std::chrono::duration_cast<std::chrono::microseconds>(most));
  timeval value;
  value.tv_sec = static_cast<long>(wait.count() / 1000000);
  value.tv_usec = static_cast<long>(wait.count() % 1000000);
  return value;
}

sockaddr_storage SocketAddress(const lists::IpAddress& address, std::uint16_t port, int& length) {
  sockaddr_storage storage{};
  const bool v4 = std::all_of(address.begin(), address.begin() + 10,
                              [](std::uint8_t byte) { return byte == 0; }) &&
                  address[10] == 0xFF && address[11] == 0xFF;
  if (v4) {
    sockaddr_in ipv4{};
    ipv4.sin_family = AF_INET;
    ipv4.sin_port = htons(port);
    std::memcpy(&ipv4.sin_addr, address.data() + 12, 4);
    std::memcpy(&storage, &ipv4, sizeof ipv4);
    length = sizeof ipv4;
  } else {
    sockaddr_in6 ipv6{};
    ipv6.sin6_family = AF_INET6;
    ipv6.sin6_port = htons(port);
    std::memcpy(&ipv6.sin6_addr, address.data(), address.size());
    std::memcpy(&storage, &ipv6, sizeof ipv6);
    length = sizeof ipv6;
  }
  return storage;
}

// Connects to one address; the trouble when it did not.
Trouble ConnectOne(SOCKET socket, const lists::IpAddress& address, std::uint16_t port,
                   Clock::time_point deadline) {
  int length = 0;
  const sockaddr_storage target = SocketAddress(address, port, length);
  u_long nonBlocking = 1;
  ioctlsocket(socket, FIONBIO, &nonBlocking);
  if (connect(socket, reinterpret_cast<const sockaddr*>(&target), length) == 0) {
    return Trouble::kNone;
  }
  if (WSAGetLastError() != WSAEWOULDBLOCK) return Trouble::kConnectionRefused;
  while (true) {
    fd_set writable, failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(socket, &writable);
    FD_SET(socket, &failed);
    timeval wait = Slice(deadline, std::chrono::milliseconds{500});
    const int ready = select(0, nullptr, &writable, &failed, &wait);
    if (ready == SOCKET_ERROR) return Trouble::kConnectionRefused;
    if (FD_ISSET(socket, &failed)) return Trouble::kConnectionRefused;
    if (FD_ISSET(socket, &writable)) {
      int error = 0;
      int size = sizeof error;
      getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size);
      return error == 0 ? Trouble::kNone : Trouble::kConnectionRefused;
    }
    if (Clock::now() >= deadline) return Trouble::kTimeout;
  }
}

}  // namespace

Resolver SystemResolver() {
  return [](const std::string& host) {
    StartWinsock();
    std::vector<lists::IpAddress> addresses;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0) return addresses;
    for (const addrinfo* each = found; each != nullptr; each = each->ai_next) {
      if (each->ai_family == AF_INET) {
        sockaddr_in ipv4;
        std::memcpy(&ipv4, each->ai_addr, sizeof ipv4);
        addresses.push_back(lists::MappedIpv4(ntohl(ipv4.sin_addr.s_addr)));
      } else if (each->ai_family == AF_INET6) {
        sockaddr_in6 ipv6;
        std::memcpy(&ipv6, each->ai_addr, sizeof ipv6);
        lists::IpAddress address;
        std::memcpy(address.data(), &ipv6.sin6_addr, address.size());
        addresses.push_back(address);
      }
    }
    freeaddrinfo(found);
    return addresses;
  };
}

std::optional<std::vector<lists::IpAddress>> ResolveWithin(const Resolver& resolve,
                                                           const std::string& host,
                                                           Clock::time_point deadline) {
  struct Lookup {
    std::mutex mutex;
    std::condition_variable ended;
    std::optional<std::vector<lists::IpAddress>> addresses;
  };
  const auto lookup = std::make_shared<Lookup>();
  std::thread([lookup, resolve, host] {
    std::vector<lists::IpAddress> addresses = resolve(host);
    std::lock_guard lock(lookup->mutex);
    lookup->addresses = std::move(addresses);
    lookup->ended.notify_all();
  }).detach();
  std::unique_lock lock(lookup->mutex);
  lookup->ended.wait_until(lock, deadline, [&lookup] { return lookup->addresses.has_value(); });
  return lookup->addresses;
}

Vetting Vet(const std::string& host, const AddressRule& rule, const Resolver& resolve,
            Clock::time_point deadline) {
  Vetting vetting;
  const std::optional<std::vector<lists::IpAddress>> addresses =
      ResolveWithin(resolve, host, deadline);
  if (!addresses) {
    vetting.trouble = Trouble::kTimeout;
    return vetting;
  }
  vetting.addresses = *addresses;
  if (vetting.addresses.empty()) vetting.trouble = Trouble::kNoSuchHost;
  for (const lists::IpAddress& address : vetting.addresses) {
    const Trouble refusal = RefusalOfPeer(address, rule);
    if (refusal != Trouble::kNone) {
      vetting.trouble = refusal;
      break;
    }
  }
  if (vetting.trouble != Trouble::kNone) vetting.addresses.clear();
  return vetting;
}

Connected ConnectToAny(const std::vector<lists::IpAddress>& addresses, std::uint16_t port,
                       Clock::time_point deadline) {
  StartWinsock();
  Connected connected;
  connected.trouble = Trouble::kConnectionRefused;
  for (const lists::IpAddress& address : addresses) {
    int length = 0;
    const sockaddr_storage target = SocketAddress(address, port, length);
    const SOCKET socket = ::socket(target.ss_family, SOCK_STREAM, IPPROTO_TCP);
    if (socket == INVALID_SOCKET) continue;
    connected.trouble = ConnectOne(socket, address, port, deadline);
    if (connected.trouble == Trouble::kNone) {
      connected.socket = static_cast<Socket>(socket);
      return connected;
    }
    closesocket(socket);
    if (connected.trouble == Trouble::kTimeout) break;
  }
  return connected;
}

void CloseSocket(Socket socket) {
  if (socket != kNoSocket) closesocket(static_cast<SOCKET>(socket));
}

bool SendAll(Socket socket, std::string_view bytes, Clock::time_point deadline) {
  const auto s = static_cast<SOCKET>(socket);
  while (!bytes.empty()) {
    fd_set writable;
    FD_ZERO(&writable);
    FD_SET(s, &writable);
    timeval wait = Slice(deadline, std::chrono::milliseconds{500});
    const int ready = select(0, nullptr, &writable, nullptr, &wait);
    if (ready == SOCKET_ERROR) return false;
    if (ready == 0) {
      if (Clock::now() >= deadline) return false;
      continue;
    }
    const int sent =
        send(s, bytes.data(), static_cast<int>(std::min<std::size_t>(bytes.size(), 65536)), 0);
    if (sent == SOCKET_ERROR) {
      if (WSAGetLastError() == WSAEWOULDBLOCK) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

Received ReceiveSome(Socket socket, char* into, std::size_t room, std::size_t& got,
                     Clock::time_point deadline) {
  const auto s = static_cast<SOCKET>(socket);
  got = 0;
  while (true) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(s, &readable);
    timeval wait = Slice(deadline, std::chrono::milliseconds{500});
    const int ready = select(0, &readable, nullptr, nullptr, &wait);
    if (ready == SOCKET_ERROR) return Received::kFailed;
    if (ready == 0) {
      if (Clock::now() >= deadline) return Received::kTimeout;
      continue;
    }
    const int read = recv(s, into, static_cast<int>(std::min<std::size_t>(room, 65536)), 0);
    if (read == 0) return Received::kClosed;
    if (read == SOCKET_ERROR) {
      if (WSAGetLastError() == WSAEWOULDBLOCK) continue;
      return WSAGetLastError() == WSAECONNRESET ? Received::kClosed : Received::kFailed;
    }
    got = static_cast<std::size_t>(read);
    return Received::kData;
  }
}

Socket ListenOnLoopback(std::uint16_t& port) {
  StartWinsock();
  const SOCKET listening = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (listening == INVALID_SOCKET) return kNoSocket;
  sockaddr_in here{};
  here.sin_family = AF_INET;
  here.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  here.sin_port = 0;
  int length = sizeof here;
  if (bind(listening, reinterpret_cast<const sockaddr*>(&here), sizeof here) != 0 ||
      listen(listening, 1) != 0 ||
      getsockname(listening, reinterpret_cast<sockaddr*>(&here), &length) != 0) {
    closesocket(listening);
    return kNoSocket;
  }
  port = ntohs(here.sin_port);
  return static_cast<Socket>(listening);
}

Socket AcceptOne(Socket listening, Clock::time_point deadline, const std::function<bool()>& stop) {
  const auto s = static_cast<SOCKET>(listening);
  while (!stop()) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(s, &readable);
    timeval wait = Slice(deadline, std::chrono::milliseconds{100});
    const int ready = select(0, &readable, nullptr, nullptr, &wait);
    if (ready == SOCKET_ERROR) return kNoSocket;
    if (ready > 0) {
      const SOCKET accepted = accept(s, nullptr, nullptr);
      if (accepted == INVALID_SOCKET) return kNoSocket;
      u_long nonBlocking = 1;
      ioctlsocket(accepted, FIONBIO, &nonBlocking);
      return static_cast<Socket>(accepted);
    }
    if (Clock::now() >= deadline) return kNoSocket;
  }
  return kNoSocket;
}

}  // namespace zentrova::checks::windows
