#include "checks/check_run.h"

#include <utility>

#include "checks/url_text.h"

namespace zentrova::checks {
namespace {

// Verdicts remembered in each generation, and the longest address remembered: a repeat of a
// longer one is checked again rather than held.
constexpr std::size_t kGeneration = 16384;
constexpr std::size_t kLongestRemembered = 4096;

std::string HostOf(const std::string& url) {
  const std::u16string host = lists::UrlHost(Widened(url));
  return Lowered(std::string(host.begin(), host.end()));
}

}  // namespace

CheckRun::CheckRun(Transport& transport, const CheckSettings& settings)
    : transport_(&transport), settings_(&settings) {}

void CheckRun::Add(std::optional<std::string> address) {
  const std::size_t number = firstLine_ + lines_.size();
  lines_.push_back({std::nullopt, address.has_value()});
  if (!address) return;
  ++asked_;
  if (const Verdict* known = Recalled(*address)) {
    Settle(number, *known);
    return;
  }
  if (const auto running = byAddress_.find(*address); running != byAddress_.end()) {
    jobs_.at(running->second).lines.push_back(number);
    return;
  }
  AddressCheck check(*address, *settings_);
  if (check.Done()) {
    Remember(*address, check.verdict());
    Settle(number, check.verdict());
    return;
  }
  const std::size_t id = nextJob_++;
  byAddress_.emplace(*address, id);
  jobs_.emplace(id, Job{std::move(check), {number}, {}});
  ready_.push_back(id);
}

bool CheckRun::FrontReady() const {
  return !lines_.empty() && (!lines_.front().needsVerdict || lines_.front().verdict);
}

std::optional<Verdict> CheckRun::TakeFront() {
  std::optional<Verdict> verdict = std::move(lines_.front().verdict);
  lines_.pop_front();
  ++firstLine_;
  return verdict;
}

bool CheckRun::HostFree(const std::string& host) const {
  const auto found = hosts_.find(host);
  return found == hosts_.end() || found->second < kMostForOneHost;
}

void CheckRun::StartWhatMay() {
  const auto now = AddressCheck::Clock::now();
  for (auto at = ready_.begin(); at != ready_.end() && inFlight_ < kMostAtOnce;) {
    Job& job = jobs_.at(*at);
    std::optional<Hop> hop = job.check.Next(now);
    const std::string host = HostOf(hop->url);
    if (!HostFree(host)) {
      ++at;
      continue;
    }
    hop->id = *at;
    job.host = host;
    ++hosts_[host];
    ++inFlight_;
    at = ready_.erase(at);
    transport_->Start(std::move(*hop));
  }
}

void CheckRun::Turn(std::chrono::milliseconds most) {
  StartWhatMay();
  if (inFlight_ == 0) return;
  for (auto& [id, reply] : transport_->Wait(most)) {
    const auto found = jobs_.find(id);
    if (found == jobs_.end()) continue;
    Job& job = found->second;
    if (--hosts_[job.host] == 0) hosts_.erase(job.host);
    job.host.clear();
    --inFlight_;
    job.check.Take(reply);
    if (!job.check.Done()) {
      ready_.push_front(id);  // its next hop goes before addresses not yet begun
      continue;
    }
    Remember(job.check.address(), job.check.verdict());
    for (const std::size_t line : job.lines) Settle(line, job.check.verdict());
    byAddress_.erase(job.check.address());
    jobs_.erase(found);
  }
  StartWhatMay();
}

void CheckRun::Settle(std::size_t line, const Verdict& verdict) {
  lines_[line - firstLine_].verdict = verdict;
  ++checked_;
}

void CheckRun::Remember(const std::string& address, const Verdict& verdict) {
  if (address.size() > kLongestRemembered) return;
  if (recent_.size() >= kGeneration) {
    older_ = std::move(recent_);
    recent_.clear();
  }
  recent_.insert_or_assign(address, verdict);
}

const Verdict* CheckRun::Recalled(const std::string& address) const {
  if (const auto found = recent_.find(address); found != recent_.end()) return &found->second;
  if (const auto found = older_.find(address); found != older_.end()) return &found->second;
  return nullptr;
}

}  // namespace zentrova::checks
