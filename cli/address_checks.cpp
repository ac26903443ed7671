#include "cli/address_checks.h"

#include "cli/system.h"
#include "cli/terminal.h"
#include "codec/file_io.h"
#include "lists/download_address.h"
#include "lists/hand_off_forms.h"
#include "machine/machine_here.h"
#include "messages/messages.h"

namespace zentrova::cli {

std::string CheckUserAgent() { return "Zentrova/" ZENTROVA_VERSION " (link check)"; }

std::optional<std::string> AddressToCheck(const lists::LineResult& result) {
  if (!lists::HoldsAddress(result)) return std::nullopt;
  return lists::DownloaderUri(result.bytes);
}

AddressChecks::AddressChecks(const CheckRequest& request)
    : progress_(sys::IsTerminal(sys::Stream::kErr)) {
  settings_.rule = {&machine::ThisMachineHere(), request.lan};
  settings_.timeout = request.timeout;
  settings_.proxy = request.proxy;
  settings_.systemProxy = &checks::SystemProxy;
  transport_ = checks::SystemTransport(settings_.rule, CheckUserAgent());
  run_ = std::make_unique<checks::CheckRun>(*transport_, settings_);
}

AddressChecks::~AddressChecks() { ClearProgress(); }

bool AddressChecks::WaitForFront() {
  // What is known leaves before a wait on a slow server, so that it is not held up behind it.
  if (!run_->FrontReady()) FlushOutput();
  while (!run_->FrontReady()) {
    if (fileio::InterruptRequested()) return false;
    // Short turns, so that Ctrl-C is seen at once however slow the servers.
    run_->Turn(std::chrono::milliseconds(100));
    DrawProgress();
  }
  return true;
}

void AddressChecks::Count(const checks::Verdict& verdict) {
  ++counts_[static_cast<int>(verdict.state)];
}

void AddressChecks::DrawProgress() {
  if (!progress_) return;
  const std::size_t checked = run_->Checked();
  const std::size_t queued = run_->Asked();
  if (progressShown_ && checked == shownChecked_ && queued == shownQueued_) return;
  shownChecked_ = checked;
  shownQueued_ = queued;
  progressShown_ = true;
  WriteError("\r" + Say("checked {0} of {1}", {std::to_string(checked), std::to_string(queued)}) +
             "\x1b[K");
}

void AddressChecks::ClearProgress() {
  if (!progressShown_) return;
  progressShown_ = false;
  WriteError("\r\x1b[K");
}

std::string AddressChecks::Summary() const {
  return Say("checked: {0} alive, {1} dead, {2} unknown, {3} refused",
             {std::to_string(counts_[0]), std::to_string(counts_[1]), std::to_string(counts_[2]),
              std::to_string(counts_[3])});
}

}  // namespace zentrova::cli
