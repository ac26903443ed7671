// Checks a list's addresses many at a time and hands the verdicts back in the list's order: at
// most kMostAtOnce requests at once and kMostForOneHost to one host, the same address checked
// once in a run, and nothing held of a line but its place until its verdict is taken.
#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <map>
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

class CheckRun {
 public:
  // `transport` and `settings` must outlive the run.
  CheckRun(Transport& transport, const CheckSettings& settings);

  // Queues a line: `address` to check (ASCII, escaped as a downloader is given it), or nothing
  // for a line that has no address and gets no verdict.
  void Add(std::optional<std::string> address);

  // Whether the oldest line queued has its verdict, or needs none.
  bool FrontReady() const;

  // Takes the oldest line's verdict (nothing for a line without an address). FrontReady first.
  std::optional<Verdict> TakeFront();

  // Lines queued and not yet taken.
  std::size_t Waiting() const { return lines_.size(); }

  // Sends what may be sent, and waits at most `most` for replies.
  void Turn(std::chrono::milliseconds most);

  // Addresses whose verdict is known, and addresses queued, repeats included, for a progress
  // line.
  std::size_t Checked() const { return checked_; }
  std::size_t Asked() const { return asked_; }

 private:
  struct Line {
    std::optional<Verdict> verdict;
    bool needsVerdict = false;
  };
  struct Job {
    AddressCheck check;
    std::vector<std::size_t> lines;  // the numbers of the lines waiting for it
    std::string host;                // of the request in flight ("" when none is)
  };

  void StartWhatMay();
  void Settle(std::size_t line, const Verdict& verdict);
  void Remember(const std::string& address, const Verdict& verdict);
  const Verdict* Recalled(const std::string& address) const;
  bool HostFree(const std::string& host) const;

  Transport* transport_;
  const CheckSettings* settings_;
  std::deque<Line> lines_;
  std::size_t firstLine_ = 0;  // the number of lines_.front()
  std::map<std::size_t, Job> jobs_;
  std::size_t nextJob_ = 0;
  std::deque<std::size_t> ready_;                           // jobs with a request to send
  std::unordered_map<std::string, std::size_t> byAddress_;  // jobs by their address
  std::unordered_map<std::string, std::size_t> hosts_;      // requests in flight by host
  std::size_t inFlight_ = 0;
  std::size_t checked_ = 0;
  std::size_t asked_ = 0;
  // Verdicts known, in two generations, so that the memory stays the same however long the list.
  std::unordered_map<std::string, Verdict> recent_;
  std::unordered_map<std::string, Verdict> older_;
};

}  // namespace zentrova::checks
