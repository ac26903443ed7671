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

class VettedRelay {
 public:
  struct Outcome {
    Trouble trouble = Trouble::kNone;  // kConnectionRefused, kTimeout, kBrokenAnswer
    bool closedWithoutAnswer = false;  // the server closed without sending a byte
    // The relay ended the connection inside a plain answer's head (too long, or too late): what
    // the client made of the part it got is no answer, however whole it looked.
    bool cutInsideHead = false;
    std::string head;  // a plain answer's head in its own bytes, when it came whole
  };

  // Relays one connection to `port` at `addresses` (vetted ones), until `deadline`. `tunnel`:
  // the client asks with CONNECT first. Otherwise the bytes are plain HTTP, whose answer's head
  // is cut at kMostHeaderBytes.
  VettedRelay(std::vector<lists::IpAddress> addresses, std::uint16_t port, bool tunnel,
              Clock::time_point deadline);
  ~VettedRelay();
  VettedRelay(const VettedRelay&) = delete;
  VettedRelay& operator=(const VettedRelay&) = delete;

  // The port on 127.0.0.1 to point the client at; 0 when no relay could listen.
  std::uint16_t Port() const { return port_; }

  // Ends the relay (the client is done) and says how the connection went.
  Outcome Finish();

 private:
  void Run();
  void Relay(Socket client, Socket server);

  std::vector<lists::IpAddress> addresses_;
  std::uint16_t target_;
  bool tunnel_;
  Clock::time_point deadline_;
  std::uint16_t port_ = 0;
  Socket listening_ = kNoSocket;
  std::atomic<bool> stop_{false};
  Outcome outcome_;
  std::thread thread_;
};

}  // namespace zentrova::checks::windows
