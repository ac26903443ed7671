// Addresses that name the machine they are read on. A downloader fetches what it is handed
// from where it runs, past every protection a browser gives a page, so a page or a posted list
// that hands it such an address reaches services that listen only there (aria2's own JSON-RPC
// among them, which also answers GET requests).
#pragma once

#include <string_view>

namespace zentrova::lists {

// Whether `host` (as it stands in an address: a name, IPv4 in any form resolvers accept, or
// IPv6 in brackets; any case, trailing dots) is this machine: localhost and *.localhost,
// 127.0.0.0/8 (127.1, 2130706433, 0x7f.0.0.1, 017700000001, ...), 0.0.0.0, [::1], [::] and the
// IPv4-mapped forms of those.
bool IsThisMachineHost(std::u16string_view host);

// Whether fetching `address` reaches this machine: an http, https or ftp address whose host is
// this machine, or a magnet with a tracker or source (http, https, ftp or udp) there. ed2k
// names no host: false.
bool IsOnThisMachine(std::u16string_view address);

}  // namespace zentrova::lists
