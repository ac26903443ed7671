// The proxy that Windows' settings name for an address, read from the forms WinHTTP hands them
// in: a list of "host:port" or "scheme=host:port" entries, and a bypass list.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zentrova::checks {

// The proxy `list` ("proxy:8080", "http=a:1;https=b:2;ftp=c:3", "socks=d:1080", separated by ";"
// or white space) names for `url`, as "http://host:port" (or "socks4://host:port" where only a
// SOCKS proxy is named, which the check cannot use and reports as such rather than going around
// it); nothing when none applies or `bypass` ("<local>;*.corp;10.*") takes the url's host.
std::optional<std::string> ProxyFromIeList(std::string_view list, std::string_view bypass,
                                           std::string_view url);

}  // namespace zentrova::checks
