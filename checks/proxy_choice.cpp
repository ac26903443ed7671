#include "checks/proxy_choice.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "checks/url_text.h"
#include "lists/this_machine.h"

namespace zentrova::checks {
namespace {

// The first of `names` set to something, as curl takes an empty variable for an unset one.
std::optional<std::string> FirstSet(const Environment& environment,
                                    std::initializer_list<const char*> names) {
  for (const char* name : names) {
    std::optional<std::string> value = environment(name);
    if (value && !Trimmed(*value).empty()) return std::string(Trimmed(*value));
  }
  return std::nullopt;
}

// Whether `address` is in `network`/`bits` (bits counted in the 128-bit form, where an IPv4
// network counts 96 more).
bool InNetwork(const lists::IpAddress& address, const lists::IpAddress& network, int bits) {
  for (int bit = 0; bit < bits; ++bit) {
    const int byte = bit / 8;
    const int mask = 0x80 >> (bit % 8);
    if ((address[byte] & mask) != (network[byte] & mask)) return false;
  }
  return true;
}

bool EntryTakes(std::string_view entry, std::string_view host) {
  if (entry == "*") return true;
  const std::size_t slash = entry.find('/');
  const std::optional<lists::IpAddress> network = lists::IpLiteral(Widened(entry.substr(0, slash)));
  if (network) {
    const std::optional<lists::IpAddress> address = lists::IpLiteral(Widened(host));
    if (!address) return false;
    const bool ipv4 = entry.find(':') == std::string_view::npos;
    int bits = 128;
    if (slash != std::string_view::npos) {
      const std::string_view digits = entry.substr(slash + 1);
      if (digits.empty() || digits.size() > 3 ||
          !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
      }
      bits = std::stoi(std::string(digits)) + (ipv4 ? 96 : 0);
      if (bits > 128) return false;
    }
    return InNetwork(*address, *network, bits);
  }
  while (entry.starts_with('.')) entry.remove_prefix(1);
  while (entry.ends_with('.')) entry.remove_suffix(1);
  if (entry.empty()) return false;
  if (host == entry) return true;
  return host.size() > entry.size() && host.ends_with(entry) &&
         host[host.size() - entry.size() - 1] == '.';
}

}  // namespace

Environment ProcessEnvironment() {
  return [](const char* name) -> std::optional<std::string> {
    const char* value = std::getenv(name);
    if (!value) return std::nullopt;
    return std::string(value);
  };
}

bool NoProxyTakes(std::string_view list, std::string_view host) {
  std::string lowerHost = Lowered(host);
  while (lowerHost.ends_with('.')) lowerHost.pop_back();
  const std::string lowerList = Lowered(list);
  std::string_view rest = lowerList;
  while (!rest.empty()) {
    const std::size_t comma = rest.find_first_of(", ");
    const std::string_view entry = Trimmed(rest.substr(0, comma));
    if (!entry.empty() && EntryTakes(entry, lowerHost)) return true;
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  return false;
}

std::optional<std::string> ProxyFor(std::string_view url, const std::optional<std::string>& chosen,
                                    const Environment& environment) {
  const std::size_t colon = url.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const std::string scheme = Lowered(url.substr(0, colon));
  std::u16string host = lists::UrlHost(Widened(url));
  if (host.starts_with(u'[') && host.ends_with(u']')) host = host.substr(1, host.size() - 2);
  const std::string narrowHost(host.begin(), host.end());
  if (const auto noProxy = FirstSet(environment, {"no_proxy", "NO_PROXY"})) {
    if (NoProxyTakes(*noProxy, narrowHost)) return std::nullopt;
  }
  std::optional<std::string> proxy = chosen;
  if (!proxy) {
    // curl reads only the lower-case http_proxy: a CGI server sets HTTP_PROXY from a request's
    // "Proxy:" header.
    if (scheme == "http") proxy = FirstSet(environment, {"http_proxy"});
    if (scheme == "https") proxy = FirstSet(environment, {"https_proxy", "HTTPS_PROXY"});
    if (scheme == "ftp") proxy = FirstSet(environment, {"ftp_proxy", "FTP_PROXY"});
    if (!proxy) proxy = FirstSet(environment, {"all_proxy", "ALL_PROXY"});
  }
  if (!proxy || proxy->empty()) return std::nullopt;
  if (proxy->find("://") == std::string::npos) *proxy = "http://" + *proxy;
  return proxy;
}

}  // namespace zentrova::checks
