// Which proxy a request goes through, read as curl reads the environment, so that a person's
// usual settings carry over: http_proxy (lower case only, as curl insists), https_proxy,
// ftp_proxy, all_proxy and no_proxy, each also in upper case but http_proxy.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zentrova::checks {

// Returns the value of an environment variable, or nothing when it is not set.
using Environment = std::function<std::optional<std::string>(const char* name)>;

// The process's own environment.
Environment ProcessEnvironment();

// Returns the proxy for `url` (http, https or ftp): `chosen` (--proxy) where given, else the
// environment's; nothing when `url`'s host is in no_proxy or no proxy is set. A proxy written
// without a scheme is an HTTP proxy.
std::optional<std::string> ProxyFor(std::string_view url, const std::optional<std::string>& chosen,
                                    const Environment& environment);

// Whether no_proxy's `list` ("example.com,.lan,10.0.0.0/8,*") takes `host` (a name or a literal
// address, IPv6 without brackets): a name matches itself and its subdomains, an address or a
// CIDR range the addresses in it, "*" every host.
bool NoProxyTakes(std::string_view list, std::string_view host);

}  // namespace zentrova::checks
