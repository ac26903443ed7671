#include <winsock2.h>
// After winsock2.h:
#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "checks/check_transport.h"
#include "checks/vetted_relay.h"

namespace zentrova::checks::windows {
namespace {

// The CONNECT request WinHTTP sends first: read whole, never longer than a request head may be.
// Its target is not used: the relay goes only where the hop was vetted to go.
bool ReadConnectRequest(Socket client, Clock::time_point deadline) {
  std::string head;
  char buffer[4096];
  while (head.find("\r\n\r\n") == std::string::npos) {
    std::size_t got = 0;
    if (ReceiveSome(client, buffer, sizeof buffer, got, deadline) != Received::kData) return false;
    head.append(buffer, got);
    if (head.size() > 16 * 1024) return false;
  }
  return head.compare(0, 8, "CONNECT ") == 0;
}

}  // namespace

VettedRelay::VettedRelay(std::vector<lists::IpAddress> addresses, std::uint16_t port,
                         RelayMode mode, Clock::time_point deadline)
    : addresses_(std::move(addresses)), target_(port), mode_(mode), deadline_(deadline) {
  answered_ = mode_ == RelayMode::kTunnel;
  listening_ = ListenOnLoopback(port_);
  if (listening_ == kNoSocket) {
    port_ = 0;
    return;
  }
  thread_ = std::thread([this] { Run(); });
}

VettedRelay::~VettedRelay() { Finish(); }

VettedRelay::Outcome VettedRelay::Finish() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  CloseSocket(listening_);
  listening_ = kNoSocket;
  return outcome_;
}

void VettedRelay::Run() {
  // WinHTTP may open a second connection (after a proxy's login challenge, or where it gave up
  // on the first): each goes where the first went.
  bool served = false;
  while (!stop_) {
    const Socket client = AcceptOne(listening_, deadline_, [this] { return stop_.load(); });
    if (client == kNoSocket) {
      if (!served && !stop_) outcome_.trouble = Trouble::kTimeout;
      return;
    }
    served = true;
    Serve(client);
    CloseSocket(client);
    if (outcome_.trouble != Trouble::kNone) return;
  }
}

void VettedRelay::Serve(Socket client) {
  if (mode_ == RelayMode::kTunnel && !ReadConnectRequest(client, deadline_)) return;
  const Connected server = ConnectToAny(addresses_, target_, deadline_);
  if (server.socket == kNoSocket) {
    outcome_.trouble = server.trouble;
    if (mode_ == RelayMode::kTunnel) {
      SendAll(client, "HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\nConnection: close\r\n\r\n",
              deadline_);
    }
    return;
  }
  if (mode_ != RelayMode::kTunnel ||
      SendAll(client, "HTTP/1.1 200 Connection established\r\n\r\n", deadline_)) {
    Relay(client, server.socket);
  }
  CloseSocket(server.socket);
}

void VettedRelay::Relay(Socket client, Socket server) {
  const auto c = static_cast<SOCKET>(client);
  const auto s = static_cast<SOCKET>(server);
  std::uint64_t fromServer = 0;
  // The first answer's head as far as it came, to find its end; what follows may be TLS.
  std::string head;
  bool& headEnded = answered_;
  const bool plain = mode_ == RelayMode::kServer || mode_ == RelayMode::kProxyPlain;
  bool bodyLeft = false;  // the plain head has passed: the server is no longer read
  char buffer[16 * 1024];
  while (!stop_) {
    if (Clock::now() >= deadline_) {
      outcome_.trouble = Trouble::kTimeout;
      outcome_.cutInsideHead = !headEnded;
      return;
    }
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(c, &readable);
    if (!bodyLeft) FD_SET(s, &readable);
    timeval wait{0, 100 * 1000};
    const int ready = select(0, &readable, nullptr, nullptr, &wait);
    if (ready == SOCKET_ERROR) return;
    if (ready == 0) continue;
    for (const auto& [from, to] : {std::pair{c, s}, std::pair{s, c}}) {
      if (!FD_ISSET(from, &readable)) continue;
      const int read = recv(from, buffer, sizeof buffer, 0);
      if (read == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) continue;
      if (read <= 0) {
        if (from == s && fromServer == 0) {
          outcome_.trouble = Trouble::kBrokenAnswer;
          outcome_.closedWithoutAnswer = true;
        }
        return;
      }
      const std::string_view bytes(buffer, static_cast<std::size_t>(read));
      if (from == s) {
        fromServer += bytes.size();
        if (!headEnded) {
          // Seen from the last three bytes before, so that an end split between reads is found.
          const std::size_t from3 = head.size() < 3 ? 0 : head.size() - 3;
          head.append(bytes);
          const std::size_t end = head.find("\r\n\r\n", from3);
          headEnded = end != std::string::npos;
          if ((headEnded ? end + 4 : head.size()) > kMostHeaderBytes) {
            outcome_.trouble = Trouble::kBrokenAnswer;
            outcome_.cutInsideHead = true;
            return;
          }
          if (headEnded && plain) {
            outcome_.head = head.substr(0, end + 4);
            bodyLeft = true;
          }
        }
      }
      if (!SendAll(to, bytes, deadline_)) return;
    }
  }
}

}  // namespace zentrova::checks::windows
