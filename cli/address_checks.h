// The check of decoded addresses as the client makes it (--check): the system's transport, this
// machine as it knows itself, a progress line on a terminal, Ctrl-C, and the tally the summary
// says.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "checks/check_run.h"
#include "checks/check_transport.h"
#include "lists/found_links.h"

namespace zentrova::cli {

// What --check, --check-lan, --check-timeout and --proxy asked for.
struct CheckRequest {
  bool lan = false;
  std::chrono::milliseconds timeout{15000};
  std::optional<std::string> proxy;
};

// The User-Agent of every check: honest about what asks.
std::string CheckUserAgent();

// The address a line's result is checked at (as its downloader is given it), or nothing for a
// line without one.
std::optional<std::string> AddressToCheck(const lists::LineResult& result);

class AddressChecks {
 public:
  explicit AddressChecks(const CheckRequest& request);
  ~AddressChecks();

  checks::CheckRun& run() { return *run_; }

  // Waits until the oldest line has its verdict, drawing the progress line on a terminal.
  // False when Ctrl-C came first.
  bool WaitForFront();

  // Counts a verdict for the summary.
  void Count(const checks::Verdict& verdict);

  // Takes the progress line off the terminal before other words are written there.
  void ClearProgress();

  // "checked: A alive, D dead, U unknown, R refused", in the reader's words.
  std::string Summary() const;

 private:
  void DrawProgress();

  checks::CheckSettings settings_;
  std::unique_ptr<checks::Transport> transport_;
  std::unique_ptr<checks::CheckRun> run_;
  bool progress_;
  bool progressShown_ = false;
  std::size_t shownChecked_ = 0;
  std::size_t shownQueued_ = 0;
  std::size_t counts_[4] = {};
};

}  // namespace zentrova::cli
