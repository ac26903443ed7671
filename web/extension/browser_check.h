// What the extension learns of whether an address still downloads: the browser's fetch asks the
// server, and this turns the address and the answer into the core's verdict, so that the popup
// shows what zentrova-cli --check would say of the same answer. Plain C++, so that it is tried
// outside the browser as well.
#pragma once

#include <optional>
#include <string_view>

#include "checks/verdict.h"

namespace zentrova::web {

// What the browser's fetch came to for one address.
struct BrowserAnswer {
  enum class Failure {
    kNone,     // the server answered; `answer` holds what it said
    kTimeout,  // no answer within the check's time
    // fetch failed without saying why: no such name, no connection, a secure connection that
    // failed, too many redirects; the browser tells these apart to nobody
    kNetwork,
  };
  Failure failure = Failure::kNone;
  // Its `final` is the address the browser read the answer from (response.url): where its
  // redirects led, else the address as the browser reads it.
  checks::Answer answer;
  bool redirected = false;
};

// The verdict of `address` (escaped, as a downloader is given it) before anything is asked: an
// address spelled on this machine or in a private or reserved range is refused, and one that a
// browser cannot ask (ftp, ed2k, magnet, any other scheme) is unknown. Nothing when the browser
// is to ask it.
std::optional<checks::Verdict> VerdictBeforeAsking(std::string_view address);

// The verdict of what the browser heard for `address`. An answer from where the browser's
// redirects led is not trusted when that is this machine or a private network: a page could
// otherwise learn through us what answers there.
checks::Verdict VerdictOfBrowser(const BrowserAnswer& heard, std::string_view address);

}  // namespace zentrova::web
