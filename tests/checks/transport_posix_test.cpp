// libcurl's transport keeps the address rule at the socket: a direct request never connects to
// an address the rule refuses, whatever name led there, while the person's proxy on this
// machine is reached.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "checks/check_transport.h"

namespace zentrova::checks {
namespace {

// A listener on 127.0.0.1 that counts the connections made to it.
class Trap {
 public:
  Trap() {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(fd_, 16);
    socklen_t length = sizeof address;
    getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    fcntl(fd_, F_SETFL, O_NONBLOCK);
  }
  ~Trap() { close(fd_); }

  int port() const { return port_; }

  // Connections waiting to be taken; each is closed at once, as a server that says nothing.
  int Connections() {
    int count = 0;
    for (int taken; (taken = accept(fd_, nullptr, nullptr)) >= 0; ++count) close(taken);
    return count;
  }

 private:
  int fd_ = -1;
  int port_ = 0;
};

Reply Sent(Transport& transport, Hop hop) {
  transport.Start(hop);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < deadline) {
    auto ended = transport.Wait(std::chrono::milliseconds(100));
    if (!ended.empty()) return ended.front().second;
  }
  ADD_FAILURE() << "no reply for " << hop.url;
  return {};
}

TEST(TransportPosixTest, DirectRequestsToThisMachineNeverConnect) {
  struct Case {
    std::string url;
    bool allowLan;
  };
  Trap trap;
  const std::string port = std::to_string(trap.port());
  const Case cases[] = {
      {"http://127.0.0.1:" + port + "/", false},
      {"http://localhost:" + port + "/", false},  // a name: only its address tells
      {"http://localhost:" + port + "/", true},
      {"http://[::ffff:127.0.0.1]:" + port + "/", false},
      {"ftp://127.0.0.1:" + port + "/a.iso", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    const auto transport = SystemTransport({&lists::EveryMachine(), c.allowLan}, "test");
    Hop hop;
    hop.url = c.url;
    hop.timeout = std::chrono::seconds(30);
    const Reply reply = Sent(*transport, hop);
    EXPECT_EQ(reply.answer.trouble, Trouble::kThisMachine);
    EXPECT_EQ(trap.Connections(), 0);
  }
}

TEST(TransportPosixTest, ThePersonsProxyOnThisMachineIsReached) {
  Trap trap;
  const auto transport = SystemTransport({&lists::EveryMachine(), false}, "test");
  Hop hop;
  hop.url = "http://files.example/a.zip";
  hop.proxy = "http://127.0.0.1:" + std::to_string(trap.port());
  hop.timeout = std::chrono::seconds(30);
  transport->Start(hop);
  // The proxy takes the connection; the trap closes it without a word.
  int connections = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  bool ended = false;
  while (!ended && std::chrono::steady_clock::now() < deadline) {
    connections += trap.Connections();
    ended = !transport->Wait(std::chrono::milliseconds(100)).empty();
  }
  EXPECT_TRUE(ended);
  EXPECT_EQ(connections + trap.Connections(), 1);
}

}  // namespace
}  // namespace zentrova::checks
