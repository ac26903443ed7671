#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

#include "checks/ftp_check.h"
#include "checks/hop_target.h"

namespace zentrova::checks::windows {
namespace {

// What a server said to one command: its reply code, or the trouble that kept it from saying.
struct Said {
  int code = 0;
  std::string text;  // the last line, after the code
  Trouble trouble = Trouble::kNone;
};

// One side of an FTP control connection.
class Control {
 public:
  Control(Socket socket, Clock::time_point deadline) : socket_(socket), deadline_(deadline) {}
  ~Control() { CloseSocket(socket_); }
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  Said Ask(const std::string& command) {
    if (!SendAll(socket_, command + "\r\n", deadline_)) return Failed(Trouble::kBrokenAnswer);
    return Read();
  }

  // Reads one reply, a multi-line one whole ("213-…" to "213 …").
  Said Read() {
    std::string first;
    while (true) {
      std::string line;
      if (const Trouble trouble = ReadLine(line); trouble != Trouble::kNone) return Failed(trouble);
      if (first.empty()) {
        if (line.size() < 3 || !std::all_of(line.begin(), line.begin() + 3, [](char c) {
              return std::isdigit(static_cast<unsigned char>(c));
            })) {
          return Failed(Trouble::kBrokenAnswer);
        }
        first = line.substr(0, 3);
        if (line.size() > 3 && line[3] == '-') continue;
      } else if (line.compare(0, 3, first) != 0 || (line.size() > 3 && line[3] != ' ')) {
        continue;  // a line inside a multi-line reply
      }
      Said said;
      said.code = std::stoi(first);
      said.text = line.size() > 4 ? line.substr(4) : "";
      return said;
    }
  }

 private:
  static Said Failed(Trouble trouble) {
    Said said;
    said.trouble = trouble;
    return said;
  }

  Trouble ReadLine(std::string& line) {
    while (true) {
      const std::size_t end = pending_.find('\n');
      if (end != std::string::npos) {
        line = pending_.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        pending_.erase(0, end + 1);
        return Trouble::kNone;
      }
      if (heard_ > kMostHeaderBytes) return Trouble::kBrokenAnswer;
      char buffer[4096];
      std::size_t got = 0;
      switch (ReceiveSome(socket_, buffer, sizeof buffer, got, deadline_)) {
        case Received::kData:
          heard_ += got;
          pending_.append(buffer, got);
          break;
        case Received::kTimeout:
          return Trouble::kTimeout;
        case Received::kClosed:
        case Received::kFailed:
          return Trouble::kBrokenAnswer;
      }
    }
  }

  Socket socket_;
  Clock::time_point deadline_;
  std::string pending_;
  std::size_t heard_ = 0;  // every reply's bytes together, capped as an HTTP head is
};

bool Unsendable(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// The port of a PASV reply ("Entering Passive Mode (h1,h2,h3,h4,p1,p2)"); its address is not
// used: the data connection goes where the control connection went, so that a server cannot
// point it at another machine.
std::optional<std::uint16_t> PassivePort(const std::string& text) {
  const std::size_t open = text.find('(');
  const std::size_t close = text.find(')', open);
  if (open == std::string::npos || close == std::string::npos) return std::nullopt;
  int numbers[6];
  int count = 0;
  std::size_t at = open + 1;
  while (count < 6 && at < close) {
    std::size_t used = 0;
    try {
      numbers[count] = std::stoi(text.substr(at, close - at), &used);
    } catch (...) {
      return std::nullopt;
    }
    if (numbers[count] < 0 || numbers[count] > 255) return std::nullopt;
    ++count;
    at += used + 1;
  }
  if (count != 6) return std::nullopt;
  const int port = numbers[4] * 256 + numbers[5];
  if (port == 0) return std::nullopt;
  return static_cast<std::uint16_t>(port);
}

std::string AuthorityOf(const std::string& host, std::uint16_t port) {
  const bool v6 = host.find(':') != std::string::npos;
  return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

// The connections of one check: direct to vetted addresses, or through the proxy.
struct Route {
  const Hop* hop;
  const Resolver* resolve;
  std::string host;
  std::vector<lists::IpAddress> vetted;  // direct only
  Clock::time_point deadline;

  Connected Open(std::uint16_t port) const {
    if (hop->proxy) return ThroughProxy(*hop->proxy, AuthorityOf(host, port), *resolve, deadline);
    return ConnectToAny(vetted, port, deadline);
  }
};

// Settles the check from a listing: what the server has under the path, without a byte of it.
int AskForListing(Control& control, const Route& route, const std::string& path, Trouble& trouble) {
  const Said passive = control.Ask("PASV");
  if (passive.trouble != Trouble::kNone) {
    trouble = passive.trouble;
    return 0;
  }
  const std::optional<std::uint16_t> port =
      passive.code == 227 ? PassivePort(passive.text) : std::nullopt;
  if (!port) return passive.code;
  const Connected data = route.Open(*port);
  if (data.socket == kNoSocket) {
    trouble = data.trouble;
    return 0;
  }
  const Said started = control.Ask(path.empty() ? "LIST" : "LIST " + path);
  if (started.trouble != Trouble::kNone || (started.code != 125 && started.code != 150)) {
    CloseSocket(data.socket);
    trouble = started.trouble;
    return started.code;
  }
  std::size_t listed = 0;
  char buffer[4096];
  while (listed < kMostHeaderBytes) {
    std::size_t got = 0;
    const Received received = ReceiveSome(data.socket, buffer, sizeof buffer, got, route.deadline);
    if (received != Received::kData) {
      if (received == Received::kTimeout) trouble = Trouble::kTimeout;
      break;
    }
    listed += got;
  }
  CloseSocket(data.socket);
  if (trouble != Trouble::kNone) return 0;
  const Said ended = control.Read();
  if (ended.trouble != Trouble::kNone) {
    trouble = ended.trouble;
    return 0;
  }
  if (ended.code / 100 != 2) return ended.code;
  return listed > 0 ? ended.code : 550;  // an empty listing: nothing by that name
}

}  // namespace

Connected ThroughProxy(const std::string& proxy, const std::string& authority,
                       const Resolver& resolve, Clock::time_point deadline) {
  Connected failed;
  failed.trouble = Trouble::kProxyFailed;
  const std::optional<HopTarget> target =
      ReadHopTarget(proxy.find("://") == std::string::npos ? "http://" + proxy : proxy);
  if (!target || target->scheme != "http") return failed;
  const std::optional<std::vector<lists::IpAddress>> found =
      ResolveWithin(resolve, target->host, deadline);
  if (!found) {
    failed.trouble = Trouble::kTimeout;
    return failed;
  }
  const Connected connected = ConnectToAny(*found, target->port, deadline);
  if (connected.socket == kNoSocket) {
    failed.trouble =
        connected.trouble == Trouble::kTimeout ? Trouble::kTimeout : Trouble::kProxyFailed;
    return failed;
  }
  const std::string request =
      "CONNECT " + authority + " HTTP/1.1\r\nHost: " + authority + "\r\n\r\n";
  std::string head;
  char buffer[1];
  // Byte by byte, so that nothing the server says after the proxy's answer is taken with it.
  bool answered = SendAll(connected.socket, request, deadline);
  while (answered && head.find("\r\n\r\n") == std::string::npos) {
    std::size_t got = 0;
    const Received received = ReceiveSome(connected.socket, buffer, 1, got, deadline);
    if (received == Received::kTimeout) failed.trouble = Trouble::kTimeout;
    answered = received == Received::kData && head.size() < 16 * 1024;
    head.append(buffer, got);
  }
  if (!answered || head.compare(0, 5, "HTTP/") != 0 || head.find(' ') == std::string::npos ||
      head[head.find(' ') + 1] != '2') {
    CloseSocket(connected.socket);
    return failed;
  }
  return connected;
}

Reply AskFtp(const Hop& hop, const AddressRule& rule, const Resolver& resolve) {
  Reply reply;
  reply.answer.ftp = true;
  reply.answer.final = hop.url;
  const auto fail = [&reply](Trouble trouble) {
    reply.answer.trouble = trouble;
    return reply;
  };
  const std::optional<HopTarget> target = ReadHopTarget(hop.url);
  if (!target || target->scheme != "ftp") return fail(Trouble::kBrokenAnswer);
  // The path names a file in the login's folder; ";type=i" is for a download, not the name.
  std::string_view escapedPath = target->path;
  escapedPath = escapedPath.substr(0, escapedPath.find('?'));
  escapedPath = escapedPath.substr(0, escapedPath.find(';'));
  escapedPath.remove_prefix(1);
  const std::optional<std::string> path = Unescaped(escapedPath);
  const std::optional<std::string> user =
      target->user.empty() ? std::optional<std::string>("anonymous") : Unescaped(target->user);
  const std::optional<std::string> password =
      target->hasPassword ? Unescaped(target->password)
                          : std::optional<std::string>(target->user.empty() ? "anonymous@" : "");
  // An escaped line end would end the command and smuggle in another one.
  if (!path || !user || !password || Unsendable(*path) || Unsendable(*user) ||
      Unsendable(*password)) {
    return fail(Trouble::kBrokenAnswer);
  }

  Route route{&hop, &resolve, target->host, {}, Clock::now() + hop.timeout};
  if (!hop.proxy) {
    const Vetting vetting = Vet(target->host, rule, resolve, route.deadline);
    if (vetting.trouble != Trouble::kNone) return fail(vetting.trouble);
    route.vetted = vetting.addresses;
  }
  const Connected connected = route.Open(target->port);
  if (connected.socket == kNoSocket) return fail(connected.trouble);
  Control control(connected.socket, route.deadline);

  const auto settle = [&reply](const Said& said) {
    reply.answer.trouble = said.trouble;
    reply.answer.status = said.code;
    return reply;
  };
  Said said = control.Read();
  while (said.trouble == Trouble::kNone && said.code == 120) said = control.Read();
  if (said.trouble != Trouble::kNone || said.code != 220) return settle(said);
  said = control.Ask("USER " + *user);
  if (said.code == 331 || said.code == 332) said = control.Ask("PASS " + *password);
  if (said.trouble != Trouble::kNone || (said.code != 230 && said.code != 202)) {
    return settle(said);
  }
  // SIZE counts bytes only in binary mode; some servers refuse it in ASCII mode.
  said = control.Ask("TYPE I");
  if (said.trouble != Trouble::kNone) return settle(said);

  // The login's own folder (an address ending in "/") is there when it lists.
  const auto byListing = [&] {
    Trouble trouble = Trouble::kNone;
    const int listed = AskForListing(control, route, *path, trouble);
    if (trouble == Trouble::kNone) control.Ask("QUIT");
    reply.answer.trouble = trouble;
    reply.answer.status = trouble == Trouble::kNone ? listed : 0;
    return reply;
  };
  if (path->empty()) return byListing();
  const Said size = control.Ask("SIZE " + *path);
  if (size.trouble != Trouble::kNone) return settle(size);
  if (size.code == 213) {
    std::string digits = size.text;
    digits.erase(
        std::remove_if(digits.begin(), digits.end(), [](char c) { return c == ' ' || c == '\t'; }),
        digits.end());
    if (!digits.empty() &&
        std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      reply.answer.contentLength = digits;
    }
    control.Ask("QUIT");
    return settle(size);
  }
  // A folder, or a server without SIZE: its time says as much about being there.
  const Said time = control.Ask("MDTM " + *path);
  if (time.trouble != Trouble::kNone) return settle(time);
  if (time.code == 213 || (size.code == 550 && time.code == 550)) {
    control.Ask("QUIT");
    return settle(time);
  }
  return byListing();
}

}  // namespace zentrova::checks::windows
