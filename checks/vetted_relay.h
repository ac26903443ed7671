// The way WinHTTP is made to reach only a vetted address: it is pointed at a relay on 127.0.0.1
// that connects to the addresses the rule allowed, and to nothing else, and passes the bytes
// both ways. For https WinHTTP takes the relay for a proxy and asks it to CONNECT, so the TLS
// session, the name it carries (SNI) and the check of the certificate against the name stay
// WinHTTP's own, end to end; for http the relay is the server, and the request names the host.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "checks/vetted_socket.h"

namespace zentrova::checks::windows {

// How the relay stands between WinHTTP and the far side.
enum class RelayMode {
  kServer,       // plain http, direct: the relay is the server; the bytes pass as they come
  kTunnel,       // https, direct: the relay is the proxy; it answers CONNECT, then passes TLS
  kProxyPlain,   // plain http through the person's proxy: every byte passes
  kProxyTunnel,  // https through the person's proxy: its answer to CONNECT, then TLS, passes
};

class VettedRelay {
 public:
  struct Outcome {
    Trouble trouble = Trouble::kNone;  // kConnectionRefused, kTimeout, kBrokenAnswer
    bool closedWithoutAnswer = false;  // the far side closed without sending a byte
    // The relay ended the connection inside the first answer's head (too long, or too late):
    // what the client made of the part it got is no answer, however whole it looked.
    bool cutInsideHead = false;
    // A plain answer's head in its own bytes, when it came whole.
    std::string head;
  };

  // Relays the client's connections to `port` at `addresses` (vetted ones, or the proxy's) until
  // `deadline`, one at a time; the first answer's head is cut at kMostHeaderBytes. Of a plain
  // answer nothing after the head is read: the check never wants its body.
  VettedRelay(std::vector<lists::IpAddress> addresses, std::uint16_t port, RelayMode mode,
              Clock::time_point deadline);
  ~VettedRelay();
  VettedRelay(const VettedRelay&) = delete;
  VettedRelay& operator=(const VettedRelay&) = delete;

  // The port on 127.0.0.1 to point the client at; 0 when no relay could listen.
  std::uint16_t Port() const { return port_; }

  // Ends the relay (the client is done) and says how its connections went.
  Outcome Finish();

 private:
  void Run();
  void Serve(Socket client);
  void Relay(Socket client, Socket server);

  std::vector<lists::IpAddress> addresses_;
  std::uint16_t target_;
  RelayMode mode_;
  Clock::time_point deadline_;
  std::uint16_t port_ = 0;
  Socket listening_ = kNoSocket;
  std::atomic<bool> stop_{false};
  bool answered_ = false;  // the first answer's head has passed whole
  Outcome outcome_;
  std::thread thread_;
};

}  // namespace zentrova::checks::windows
