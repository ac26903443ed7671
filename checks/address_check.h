// The steps of one address's check, the same on every system: HEAD first; the ranged GET where a
// server refuses HEAD (405, 501, or a connection closed without an answer); each redirect
// followed, at most kMostRedirects, and each new address judged again before it is asked; all
// within one time for the whole address.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "checks/address_rule.h"
#include "checks/check_transport.h"
#include "checks/proxy_choice.h"
#include "checks/verdict.h"

namespace zentrova::checks {

struct CheckSettings {
  AddressRule rule;
  std::chrono::milliseconds timeout{15000};  // for one address, over all its hops
  std::optional<std::string> proxy;          // --proxy, before the environment's
  Environment environment = ProcessEnvironment();
  // The system's own proxy for an address, after the environment's (SystemProxy); none in tests.
  std::function<std::optional<std::string>(std::string_view url)> systemProxy;
};

class AddressCheck {
 public:
  using Clock = std::chrono::steady_clock;

  // Begins the check of `address` (ASCII, escaped as a downloader is given it): an address that
  // is refused, or that no server is asked about, has its verdict at once.
  AddressCheck(std::string address, const CheckSettings& settings);

  // The request to send next, or nothing once the verdict is known. The check's time runs from
  // the first request.
  std::optional<Hop> Next(Clock::time_point now);

  // Takes the reply to the request Next gave.
  void Take(const Reply& reply);

  bool Done() const { return verdict_.has_value(); }
  const Verdict& verdict() const { return *verdict_; }
  const std::string& address() const { return address_; }

 private:
  // Judges the hop to `url_` before it is asked; sets the verdict when it is not to be asked.
  void JudgeHop();
  void Conclude(Verdict verdict);

  std::string address_;
  const CheckSettings* settings_;
  std::optional<Clock::time_point> deadline_;
  std::string url_;  // the address of the next request
  std::optional<std::string> proxy_;
  bool ranged_ = false;
  int redirects_ = 0;
  std::optional<Verdict> verdict_;
};

// Returns the address a Location value leads to from `base`: absolute, scheme-relative, an
// absolute or relative path, or a query; bytes outside printable ASCII escaped. Nothing for an
// empty value.
std::optional<std::string> Resolved(std::string_view base, std::string_view location);

}  // namespace zentrova::checks
