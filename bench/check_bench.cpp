// How long a list of live addresses takes to check, end to end through the system's transport:
// 1,000 addresses on 100 hosts, reached through a proxy on this machine that answers every
// request at once, so that what is timed is the check's own work and its eight-at-once limit.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "checks/check_run.h"
#include "checks/check_transport.h"

namespace {

using namespace zentrova::checks;

// An HTTP proxy that answers every request with a live file and keeps its connections open.
class LiveProxy {
 public:
  LiveProxy() {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(fd_, 64);
    socklen_t length = sizeof address;
    getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    std::thread([this] { Accept(); }).detach();
  }

  int port() const { return port_; }

 private:
  void Accept() {
    while (true) {
      const int connection = accept(fd_, nullptr, nullptr);
      if (connection < 0) return;
      std::thread([connection] { Serve(connection); }).detach();
    }
  }

  static void Serve(int connection) {
    static constexpr char kAnswer[] =
        "HTTP/1.1 200 OK\r\nContent-Type: application/zip\r\nContent-Length: 1048576\r\n\r\n";
    std::string pending;
    char buffer[8192];
    while (true) {
      const ssize_t got = read(connection, buffer, sizeof buffer);
      if (got <= 0) break;
      pending.append(buffer, static_cast<std::size_t>(got));
      for (std::size_t end; (end = pending.find("\r\n\r\n")) != std::string::npos;) {
        pending.erase(0, end + 4);
        if (write(connection, kAnswer, sizeof kAnswer - 1) < 0) break;
      }
    }
    close(connection);
  }

  int fd_ = -1;
  int port_ = 0;
};

void BM_CheckThousandLiveAddresses(benchmark::State& state) {
  static LiveProxy proxy;
  CheckSettings settings;
  settings.proxy = "http://127.0.0.1:" + std::to_string(proxy.port());
  settings.environment = [](const char*) { return std::optional<std::string>(); };
  std::size_t alive = 0;
  int round = 0;
  for (auto _ : state) {
    const auto transport = SystemTransport(settings.rule, "Zentrova bench");
    CheckRun run(*transport, settings);
    ++round;
    for (int i = 0; i < 1000; ++i) {
      run.Add("http://h" + std::to_string(i % 100) + ".example/" + std::to_string(round) + "/" +
              std::to_string(i) + ".zip");
    }
    alive = 0;
    while (run.Waiting() > 0) {
      while (run.FrontReady()) alive += run.TakeFront()->state == State::kAlive;
      if (run.Waiting() > 0) run.Turn(std::chrono::milliseconds(100));
    }
  }
  if (alive != 1000) state.SkipWithError("not every address was found alive");
  state.counters["addresses/s"] = benchmark::Counter(
      1000.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CheckThousandLiveAddresses)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
