#include "checks/hop_target.h"

#include <algorithm>
#include <cctype>

namespace zentrova::checks {
namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<HopTarget> ReadHopTarget(std::string_view url) {
  HopTarget target;
  const std::size_t colon = url.find("://");
  if (colon == std::string_view::npos) return std::nullopt;
  target.scheme = Lower(url.substr(0, colon));
  std::uint16_t defaultPort = 0;
  if (target.scheme == "http") {
    defaultPort = 80;
  } else if (target.scheme == "https") {
    defaultPort = 443;
  } else if (target.scheme == "ftp") {
    defaultPort = 21;
  } else {
    return std::nullopt;
  }
  std::string_view rest = url.substr(colon + 3);
  const std::size_t end = rest.find_first_of("/?#");
  std::string_view authority = rest.substr(0, end);
  std::string_view tail = end == std::string_view::npos ? std::string_view{} : rest.substr(end);
  tail = tail.substr(0, tail.find('#'));
  target.path = tail.empty() || tail.front() != '/' ? "/" + std::string(tail) : std::string(tail);

  const std::size_t at = authority.rfind('@');
  if (at != std::string_view::npos) {
    const std::string_view login = authority.substr(0, at);
    const std::size_t split = login.find(':');
    target.user = std::string(login.substr(0, split));
    if (split != std::string_view::npos) {
      target.password = std::string(login.substr(split + 1));
      target.hasPassword = true;
    }
    authority.remove_prefix(at + 1);
  }
  std::string_view host = authority;
  std::string_view port;
  if (!host.empty() && host.front() == '[') {
    const std::size_t close = host.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    port = host.substr(close + 1);
    host = host.substr(0, close + 1);
    if (!port.empty() && port.front() != ':') return std::nullopt;
    target.host = std::string(host.substr(1, host.size() - 2));
  } else {
    const std::size_t split = host.find(':');
    if (split != std::string_view::npos) {
      port = host.substr(split);
      host = host.substr(0, split);
    }
    target.host = std::string(host);
  }
  if (target.host.empty()) return std::nullopt;
  target.port = defaultPort;
  if (port.size() > 1) {
    port.remove_prefix(1);
    if (port.size() > 5 ||
        !std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      return std::nullopt;
    }
    const unsigned long number = std::stoul(std::string(port));
    if (number == 0 || number > 65535) return std::nullopt;
    target.port = static_cast<std::uint16_t>(number);
  }
  target.authority = std::string(host);
  if (target.port != defaultPort) target.authority += ":" + std::to_string(target.port);
  return target;
}

std::optional<std::string> Unescaped(std::string_view text) {
  std::string plain;
  plain.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      plain.push_back(text[i]);
      continue;
    }
    if (i + 2 >= text.size()) return std::nullopt;
    const int high = HexValue(text[i + 1]);
    const int low = HexValue(text[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    plain.push_back(static_cast<char>(high * 16 + low));
    i += 2;
  }
  return plain;
}

}  // namespace zentrova::checks
