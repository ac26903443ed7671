#include "checks/ie_proxy_list.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "checks/hop_target.h"

namespace zentrova::checks {
namespace {

std::vector<std::string_view> Entries(std::string_view list) {
  std::vector<std::string_view> entries;
  while (!list.empty()) {
    const std::size_t end = list.find_first_of("; \t\r\n");
    const std::string_view entry = list.substr(0, end);
    if (!entry.empty()) entries.push_back(entry);
    if (end == std::string_view::npos) break;
    list.remove_prefix(end + 1);
  }
  return entries;
}

bool SameNoCase(char a, char b) {
  return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

// Whether `pattern`, with "*" for any run of characters, is the whole of `text`, in any case.
bool Matches(std::string_view pattern, std::string_view text) {
  if (pattern.empty()) return text.empty();
  if (pattern.front() == '*') {
    for (std::size_t skip = 0; skip <= text.size(); ++skip) {
      if (Matches(pattern.substr(1), text.substr(skip))) return true;
    }
    return false;
  }
  return !text.empty() && SameNoCase(pattern.front(), text.front()) &&
         Matches(pattern.substr(1), text.substr(1));
}

bool Bypassed(std::string_view bypass, const HopTarget& target) {
  for (std::string_view entry : Entries(bypass)) {
    if (entry == "<local>") {
      if (target.host.find('.') == std::string::npos &&
          target.host.find(':') == std::string::npos) {
        return true;
      }
      continue;
    }
    if (const std::size_t scheme = entry.find("://"); scheme != std::string_view::npos) {
      if (!Matches(entry.substr(0, scheme), target.scheme)) continue;
      entry.remove_prefix(scheme + 3);
    }
    if (Matches(entry, target.host) || Matches(entry, target.authority)) return true;
  }
  return false;
}

// "host:port" or "http://host:port/" as an address of an HTTP (or `kind`) proxy.
std::string Spelled(std::string_view server, std::string_view kind) {
  while (!server.empty() && server.back() == '/') server.remove_suffix(1);
  if (server.find("://") != std::string_view::npos) return std::string(server);
  return std::string(kind) + "://" + std::string(server);
}

}  // namespace

std::optional<std::string> ProxyFromIeList(std::string_view list, std::string_view bypass,
                                           std::string_view url) {
  const std::optional<HopTarget> target = ReadHopTarget(url);
  if (!target || Bypassed(bypass, *target)) return std::nullopt;
  std::optional<std::string> forAll;
  std::optional<std::string> socks;
  for (const std::string_view entry : Entries(list)) {
    const std::size_t equals = entry.find('=');
    if (equals == std::string_view::npos) {
      if (!forAll) forAll = Spelled(entry, "http");
      continue;
    }
    const std::string_view scheme = entry.substr(0, equals);
    const std::string_view server = entry.substr(equals + 1);
    if (server.empty()) continue;
    if (Matches(scheme, target->scheme)) return Spelled(server, "http");
    if (Matches(scheme, "socks") && !socks) socks = Spelled(server, "socks4");
  }
  return forAll ? forAll : socks;
}

}  // namespace zentrova::checks
