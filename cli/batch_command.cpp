#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/messages.h"
#include "cli/system.h"
#include "cli/terminal.h"
#include "codec/code_page.h"
#include "codec/utf8.h"
#include "links/found_links.h"
#include "links/list_lines.h"

namespace zentrova::cli {
namespace {

using links::LineResult;

struct Tally {
  long converted = 0;
  long passedThrough = 0;
  long failed = 0;
};

// Hands each line of the file `fd` to `take`, without its end: LF, CR LF and a lone CR (old Mac
// files, some saved pages) all end a line. Reads what is there as it comes, so that the lines
// of a live pipe are converted as they arrive; when `flushFirst`, the results so far leave
// before each read, which may wait for more. Returns false when the file could not be read.
template <typename Take>
bool ForEachLine(int fd, bool flushFirst, Take take) {
  std::vector<char> buffer(1 << 16);
  std::string pending;
  bool afterCr = false;
  for (;;) {
    if (flushFirst) std::fflush(stdout);
    const long got = sys::Read(fd, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) break;
    const std::string_view chunk(buffer.data(), static_cast<std::size_t>(got));
    std::size_t start = 0;
    if (afterCr && chunk.front() == '\n') start = 1;  // the LF of a CR LF split between reads
    afterCr = false;
    for (std::size_t at = start; at < chunk.size(); ++at) {
      const char c = chunk[at];
      if (c != '\n' && c != '\r') continue;
      if (pending.empty()) {
        take(chunk.substr(start, at - start));
      } else {
        pending.append(chunk.substr(start, at - start));
        take(std::string_view(pending));
        pending.clear();
      }
      if (c == '\r') {
        if (at + 1 == chunk.size()) {
          afterCr = true;
        } else if (chunk[at + 1] == '\n') {
          ++at;
        }
      }
      start = at + 1;
    }
    pending.append(chunk.substr(start));
  }
  if (!pending.empty()) take(std::string_view(pending));
  return true;
}

// Converts every line of `fd`, writing one line for each; returns false when the file could
// not be read.
bool ConvertFile(const std::string& name, int fd, bool live, const BatchWork& work, Tally& tally) {
  links::ListLineReader reader;
  long number = 0;
  std::string out;
  const bool read = ForEachLine(fd, live, [&](std::string_view line) {
    ++number;
    const std::optional<std::u16string> text = reader.Text(line);
    const LineResult result =
        !text       ? LineResult{.kind = LineResult::Kind::kFailed,
                                 .why = Catalogue("the line is neither UTF-8 nor GBK")}
        : work.make ? links::MakeFoundLink(*work.make, *text, work.charset)
                    : links::OpenFoundLink(*text, work.charset);
    out.clear();
    switch (result.kind) {
      case LineResult::Kind::kConverted:
        ++tally.converted;
        AppendUtf8(result.text, out);
        break;
      case LineResult::Kind::kPassedThrough:
        ++tally.passedThrough;
        AppendUtf8(result.text, out);
        break;
      case LineResult::Kind::kFailed:
        ++tally.failed;
        Complain(name + ":" + std::to_string(number) + ": " +
                 Say(result.why.c_str(), {result.detail}));
        break;
      case LineResult::Kind::kBlank:
        break;
    }
    out += '\n';
    WriteOutBuffered(out);
  });
  if (!read) Complain(Say("'{0}' could not be read to its end", {name}));
  return read;
}

}  // namespace

int RunBatchCommand(const BatchWork& work, const std::vector<std::string>& files) {
  Tally tally;
  bool allRead = true;
  // Results leave in big writes, and a failure still shows at the close. To a terminal or a
  // pipe they also leave whenever the input pauses, so that a reader never waits for a buffer
  // to fill; a message on standard error follows the results before it (Complain). A write
  // for every line would cost a million system calls for a million lines.
  static char outputBuffer[1 << 16];
  std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
  const bool live = !sys::RegularFileSize(sys::Stream::kOut);
  const std::vector<std::string> names = files.empty() ? std::vector<std::string>{"-"} : files;
  for (const std::string& name : names) {
    if (name == "-") {
      allRead =
          ConvertFile(Say("standard input"), sys::StandardInput(), live, work, tally) && allRead;
      continue;
    }
    const int fd = sys::OpenForReading(name);
    if (fd < 0) {
      Complain("'" + name + "': " + sys::ErrorText(errno));
      allRead = false;
      continue;
    }
    allRead = ConvertFile(name, fd, live, work, tally) && allRead;
    sys::Close(fd);
  }
  Complain(Say("{0} converted, {1} passed through, {2} failed",
               {std::to_string(tally.converted), std::to_string(tally.passedThrough),
                std::to_string(tally.failed)}));
  return allRead && tally.failed == 0 ? kSuccess : kFailure;
}

}  // namespace zentrova::cli
