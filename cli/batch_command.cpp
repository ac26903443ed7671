// batch: lists converted line by line, from files or standard input, into lines or a
// downloader's form.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "checks/verdict_words.h"
#include "cli/address_checks.h"
#include "cli/cli_commands.h"
#include "cli/system.h"
#include "cli/terminal.h"
#include "codec/code_page.h"
#include "codec/file_io.h"
#include "codec/utf8.h"
#include "lists/found_links.h"
#include "lists/handed_line.h"
#include "lists/list_run.h"
#include "machine/machine_here.h"
#include "messages/messages.h"

namespace zentrova::cli {
namespace {

using lists::LineResult;

std::string Words(const std::string& english) { return Translate(english.c_str()); }

// Where each line's result goes: to the hand-off at once, or, with --check, once its address's
// verdict is known, in the list's order. A line waiting for its verdict is held, at most
// kWaitingLines of them, so that a long list costs no more than a short one.
class LineSink {
 public:
  static constexpr std::size_t kWaitingLines = 64;

  LineSink(const lists::ListWork& work, lists::HandOff& handOff, AddressChecks* checks)
      : work_(work), handOff_(handOff), checks_(checks) {}

  // Takes line `number` of `name`; false when Ctrl-C ended a wait for verdicts.
  bool Take(const std::string& name, long number, LineResult result) {
    lists::LetGoOfUnwritten(work_.form, result);
    if (!checks_) {
      Emit(name, number, result, std::nullopt);
      return true;
    }
    checks_->run().Add(AddressToCheck(result));
    waiting_.push_back({name, number, std::move(result)});
    EmitReady();
    while (waiting_.size() >= kWaitingLines) {
      if (!checks_->WaitForFront()) return false;
      EmitReady();
    }
    return true;
  }

  // Hands off every line still waiting for its verdict, unless Ctrl-C comes first.
  void Finish() {
    if (!checks_) return;
    while (!waiting_.empty() && checks_->WaitForFront()) EmitReady();
    checks_->ClearProgress();
  }

  long written() const { return written_; }

 private:
  struct Waiting {
    std::string name;
    long number;
    LineResult result;
  };

  void EmitReady() {
    while (checks_->run().FrontReady()) {
      const std::optional<checks::Verdict> verdict = checks_->run().TakeFront();
      Emit(waiting_.front().name, waiting_.front().number, waiting_.front().result, verdict);
      waiting_.pop_front();
    }
  }

  void Emit(const std::string& name, long number, const LineResult& result,
            const std::optional<checks::Verdict>& verdict) {
    ++written_;
    out_.clear();
    const auto where = [&] { return name + ":" + std::to_string(number) + ": "; };
    lists::EntryExtra extra;
    if (verdict) {
      checks_->ClearProgress();
      checks_->Count(*verdict);
      extra.linesTail = "\t" + checks::VerdictWords(*verdict, &Words);
      extra.jsonMembers = checks::CheckMember(*verdict);
      // A downloader is given only what may still arrive.
      const bool downloads =
          work_.form == lists::HandOffForm::kAria2 || work_.form == lists::HandOffForm::kEf2;
      if (downloads && !checks::WorthDownloading(verdict->state)) {
        Complain(where() + Say("the check found the address {0}; left out",
                               {checks::VerdictWords(*verdict, &Words)}));
        return;
      }
    }
    const lists::HandedLine handed =
        lists::HandLineOff(handOff_, number, result, &Words, out_, extra);
    if (handed.failure) Complain(where() + *handed.failure);
    if (handed.note) Complain(where() + *handed.note);
    WriteOutBuffered(out_);
  }

  const lists::ListWork& work_;
  lists::HandOff& handOff_;
  AddressChecks* checks_;
  std::deque<Waiting> waiting_;
  std::string out_;
  long written_ = 0;
};

// Converts every line of the file `fd`, handing each to `sink`. Reads what is there as it
// comes, so that the lines of a live pipe are converted as they arrive; when `live`, the results
// so far leave before each read, which may wait for more. Ctrl-C stops it after the lines read
// so far. Returns false when the file could not be read.
bool ConvertFile(const std::string& name, int fd, bool live, const lists::ListWork& work,
                 LineSink& sink, lists::ListCounts& tally) {
  lists::ListRun run(work.mode, work.charset);
  // A line past the lists' limit is refused as soon as it is known and never held whole: a list
  // of one endless line would otherwise take all memory.
  lists::LineSplitter<char> splitter(lists::kLongestLine);
  std::vector<char> buffer(1 << 16);
  bool read = true;
  const auto report = [&](LineResult result) {
    sink.Take(name, run.counts().lines, std::move(result));
  };
  // A line gathered from several reads comes as its own string, which the run lets go of as soon
  // as it is text: a line near the limit is tens of megabytes.
  const auto convert = [&](auto&& line) {
    if constexpr (std::is_same_v<std::decay_t<decltype(line)>, std::string>) {
      report(run.BytesInPlace(std::move(line)));
    } else {
      report(run.Bytes(line));
    }
  };
  const auto tooLong = [&] { report(run.TooLong()); };
  while (!fileio::InterruptRequested()) {
    if (live) FlushOutput();
    const long got = sys::Read(fd, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    read = got >= 0;
    if (got <= 0) {
      // A line cut off by a failed read is not converted as if it were whole.
      if (got == 0) splitter.Finish(convert);
      break;
    }
    splitter.Feed(std::string_view(buffer.data(), static_cast<std::size_t>(got)), convert, tooLong);
  }
  tally.lines += run.counts().lines;
  tally.converted += run.counts().converted;
  tally.passedThrough += run.counts().passedThrough;
  tally.failed += run.counts().failed;
  if (!read) Complain(Say("'{0}' could not be read to its end", {name}));
  return read;
}

// Says that the output is the input `name` ("-": standard input), which the list would read its
// own results from until the disk is full (`batch decode list >> list`).
void RefuseOutputAsInput(const std::string& name) {
  Complain(name == "-" ? Say("the output is the file on standard input: the list would read its "
                             "own results without end; nothing was converted")
                       : Say("the output is the input '{0}': the list would read its own results "
                             "without end; nothing was converted",
                             {name}));
}

// Whether the input `name` is the file that standard output writes, found by the file itself
// rather than its name (a link, `>>`, /dev/stdin), as the file runs tell it.
bool IsOutput(const std::string& name, const std::optional<fileio::FileIdentity>& output) {
  if (!output) return false;
  return (name == "-" ? sys::DiskFileOf(sys::StandardInput()) : sys::DiskFileNamed(name)) == output;
}

}  // namespace

int RunBatchCommand(const lists::ListWork& work, const std::vector<std::string>& files,
                    const std::optional<CheckRequest>& check) {
  const std::vector<std::string> names = files.empty() ? std::vector<std::string>{"-"} : files;
  // Every input is looked at before anything is converted, so that a refused run adds nothing
  // to its output.
  const std::optional<fileio::FileIdentity> output = sys::DiskFileOf(sys::StandardOutput());
  for (const std::string& name : names) {
    if (IsOutput(name, output)) {
      RefuseOutputAsInput(name);
      return kFailure;
    }
  }
  lists::ListCounts tally;  // of every file
  bool allRead = true;
  // One hand-off for every file: a download in two of them is still one download.
  lists::HandOff handOff(work.form, work.mode, machine::ThisMachineHere());
  // A long entry leaves as it is written: a line near the lists' limit is tens of megabytes.
  handOff.SpillTo([](std::string& out) {
    WriteOutBuffered(out);
    out.clear();
  });
  // Results leave in big writes, and a failure still shows at the close. To a terminal or a
  // pipe they also leave whenever the input pauses, so that a reader never waits for a buffer
  // to fill; a message on standard error follows the results before it (Complain). A write
  // for every line would cost a million system calls for a million lines.
  BufferStreams();
  const bool live = !sys::RegularFileSize(sys::Stream::kOut);
  std::optional<AddressChecks> checks;
  if (check) checks.emplace(*check);
  LineSink sink(work, handOff, checks ? &*checks : nullptr);
  // Ctrl-C ends the run, not the program: what the lines read so far gave is still written,
  // and the summary said, as a file run keeps the blocks it wrote.
  fileio::ClearInterrupt();
  sys::CatchInterrupt();
  for (std::size_t i = 0; i < names.size() && !fileio::InterruptRequested(); ++i) {
    const std::string& name = names[i];
    if (name == "-") {
      allRead = ConvertFile(Say("standard input"), sys::StandardInput(), live, work, sink, tally) &&
                allRead;
      continue;
    }
    const int fd = sys::OpenForReading(name);
    if (fd < 0) {
      Complain("'" + name + "': " + sys::ErrorText(errno));
      allRead = false;
      continue;
    }
    allRead = ConvertFile(name, fd, live, work, sink, tally) && allRead;
    sys::Close(fd);
  }
  sink.Finish();
  // Sent before Ctrl-C is released, so that a second press cannot end the program while results
  // are still in its buffer.
  FlushOutput();
  sys::ReleaseInterrupt();
  const bool cancelled = fileio::InterruptRequested();
  if (cancelled) {
    // With a check, the lines read ahead of their verdicts are not written.
    const long written = checks ? sink.written() : tally.lines;
    Complain(
        Say("cancelled after {0} lines; what they gave is written", {std::to_string(written)}));
  }
  Complain(Say("{0} converted, {1} passed through, {2} failed",
               {std::to_string(tally.converted), std::to_string(tally.passedThrough),
                std::to_string(tally.failed)}));
  if (checks) Complain(checks->Summary());
  FlushErrors();
  if (cancelled) return kCancelled;
  return allRead && tally.failed == 0 ? kSuccess : kFailure;
}

}  // namespace zentrova::cli
