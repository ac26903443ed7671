// Checks a list's addresses many at a time and hands the verdicts back in the list's order:
// at most kMostAtOnce requests at once and kMostForOneHost to one host, each address checked
// once in a run, and no more lines held than those waiting for a verdict.
#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "checks/address_check.h"
#include "checks/check_transport.h"
#include "checks/verdict.h"

namespace zentrova::checks {

inline constexpr std::size_t kMostAtOnce = 8;
inline constexpr std::size_t kMostForOneHost = 2;

template <typename Item>
class CheckRun;

// The untyped part of a run: the addresses in flight, in the order given.
class CheckQueue {
 public:
  using Clock = AddressCheck::Clock;

  CheckQueue(Transport& transport, CheckSettings settings);

  // Queues `address` (ASCII, escaped as a downloader is given it; "" for a line without an
  // address, which gets no verdict); returns its place.
  void Add(std::string address);

  // Whether the oldest address queued has its verdict (or had none to get).
  bool FrontReady() const;

  // The oldest address's verdict (nothing for a line without an address); removes it.
  std::optional<Verdict> TakeFront();

  std::size_t Waiting() const { return lines_.size(); }

  // Sends what may be sent and waits at most `most` for replies.
  void Turn(std::chrono::milliseconds most);

  // How many addresses have their verdict so far, for a progress line.
  std::size_t Checked() const { return checked_; }

 private:
  struct Line;
  struct Check;
  void StartWhatMay(Clock::time_point now);
  void Finish(std::size_t check);

  Transport* transport_;
  CheckSettings settings_;
  std::deque<Line> lines_;
  std::size_t first_ = 0;  // the number of the line at lines_.front()
  std::vector<std::unique_ptr<Check>> checks_;
  std::unordered_map<std::string, std::size_t> running_;  // address → check
  std::unordered_map<std::string, std::size_t> hosts_;    // host → requests in flight
  std::size_t inFlight_ = 0;
  std::size_t checked_ = 0;
};

}  // namespace zentrova::checks
