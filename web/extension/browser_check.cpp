#include "web/extension/browser_check.h"

#include "checks/address_rule.h"
#include "links/ascii_case.h"

namespace zentrova::web {
namespace {

// Marks a reason's words as a sentence of the catalogue.
constexpr const char* Catalogue(const char* english) { return english; }

checks::Verdict Unknown(const char* reason) {
  checks::Verdict verdict;
  verdict.state = checks::State::kUnknown;
  verdict.reason = reason;
  return verdict;
}

bool IsFtp(std::string_view address) {
  return address.size() > 4 && address[3] == ':' && links::StartsWithNoCase(address, "ftp");
}

// Where the browser's redirects led, when it is a place no check may ask.
checks::Trouble RefusalOfFinal(std::string_view final) {
  return final.empty() ? checks::Trouble::kNone
                       : checks::RefusalOfSpelling(final, checks::AddressRule{});
}

}  // namespace

std::optional<checks::Verdict> VerdictBeforeAsking(std::string_view address) {
  if (IsFtp(address)) {
    return Unknown(Catalogue("a browser cannot ask an FTP server: not checked"));
  }
  if (std::optional<checks::Verdict> verdict = checks::VerdictWithoutAsking(address)) {
    return verdict;
  }
  const checks::Trouble refusal = checks::RefusalOfSpelling(address, checks::AddressRule{});
  if (refusal != checks::Trouble::kNone) return checks::RefusedVerdict(refusal);
  return std::nullopt;
}

checks::Verdict VerdictOfBrowser(const BrowserAnswer& heard, std::string_view address) {
  if (const std::optional<checks::Verdict> before = VerdictBeforeAsking(address)) return *before;
  const checks::Trouble landed = RefusalOfFinal(heard.answer.final);
  if (landed != checks::Trouble::kNone) {
    // The browser followed the redirect itself, so something was asked there: its answer is
    // what is not used.
    checks::Verdict verdict;
    verdict.state = checks::State::kRefused;
    verdict.reason =
        landed == checks::Trouble::kThisMachine
            ? Catalogue("the address redirects to this machine: its answer was not used")
            : Catalogue(
                  "the address redirects to a private network or a reserved range: its answer "
                  "was not used");
    verdict.final = heard.answer.final;
    return verdict;
  }
  switch (heard.failure) {
    case BrowserAnswer::Failure::kTimeout: {
      checks::Answer timedOut;
      timedOut.trouble = checks::Trouble::kTimeout;
      return checks::Judge(timedOut, address);
    }
    case BrowserAnswer::Failure::kNetwork:
      return Unknown(
          Catalogue("the browser could not reach the server (no such name, no connection, a "
                    "failed secure connection or too many redirects)"));
    case BrowserAnswer::Failure::kNone:
      break;
  }
  if (heard.redirected) return checks::Judge(heard.answer, address);
  // The browser writes an address it was not sent elsewhere from in its own way (a name in
  // lower case, the default port dropped): that is not where it led.
  checks::Answer answer = heard.answer;
  answer.final.clear();
  return checks::Judge(answer, address);
}

}  // namespace zentrova::web
