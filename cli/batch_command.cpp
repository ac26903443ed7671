#include <sys/types.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "cli/cli_commands.h"
#include "cli/terminal.h"
#include "codec/code_page.h"
#include "codec/utf8.h"
#include "links/found_links.h"

namespace zentrova::cli {
namespace {

using links::LineResult;

struct Tally {
  long converted = 0;
  long passedThrough = 0;
  long failed = 0;
};

// How one file's lines are read: decided by a byte-order mark, or by the first line that
// holds anything but ASCII.
class LineReader {
 public:
  std::u16string Text(std::string_view line) {
    if (first_) {
      first_ = false;
      if (line.starts_with("\xef\xbb\xbf")) {
        line.remove_prefix(3);
        charset_ = Charset::kUtf8;
      }
    }
    if (charset_ == Charset::kUndecided && std::any_of(line.begin(), line.end(), [](char c) {
          return static_cast<unsigned char>(c) >= 0x80;
        })) {
      auto utf8 = FromValidUtf8(line);
      charset_ = utf8 ? Charset::kUtf8 : Charset::kGbk;
      if (utf8) return std::move(*utf8);
    }
    return charset_ == Charset::kGbk ? codepage::FromNarrow(line) : FromUtf8(line);
  }

 private:
  enum class Charset { kUndecided, kUtf8, kGbk };
  Charset charset_ = Charset::kUndecided;
  bool first_ = true;
};

// Converts every line of `file`, writing one line for each; returns false when the file could
// not be read.
bool ConvertFile(const std::string& name, std::FILE* file, const BatchWork& work, Tally& tally) {
  LineReader reader;
  char* buffer = nullptr;
  std::size_t capacity = 0;
  long number = 0;
  std::string out;
  for (;;) {
    const ssize_t got = getline(&buffer, &capacity, file);
    if (got < 0) break;
    ++number;
    std::string_view line(buffer, static_cast<std::size_t>(got));
    if (line.ends_with('\n')) line.remove_suffix(1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    const std::u16string text = reader.Text(line);
    const LineResult result = work.make ? links::MakeFoundLink(*work.make, text, work.charset)
                                        : links::OpenFoundLink(text, work.charset);
    out.clear();
    switch (result.kind) {
      case LineResult::Kind::kConverted:
        ++tally.converted;
        out = ToUtf8(result.text);
        break;
      case LineResult::Kind::kPassedThrough:
        ++tally.passedThrough;
        out = ToUtf8(result.text);
        break;
      case LineResult::Kind::kFailed:
        ++tally.failed;
        Complain(name + ":" + std::to_string(number) + ": " + result.why);
        break;
      case LineResult::Kind::kBlank:
        break;
    }
    out += '\n';
    WriteOutBuffered(out);
  }
  const bool read = !std::ferror(file);
  std::free(buffer);
  if (!read) Complain("'" + name + "' could not be read to its end");
  return read;
}

}  // namespace

int RunBatchCommand(const BatchWork& work, const std::vector<std::string>& files) {
  Tally tally;
  bool allRead = true;
  // A large buffer: results leave in big writes, and a failure still shows at the close.
  static char outputBuffer[1 << 16];
  std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
  const std::vector<std::string> names = files.empty() ? std::vector<std::string>{"-"} : files;
  for (const std::string& name : names) {
    if (name == "-") {
      allRead = ConvertFile("standard input", stdin, work, tally) && allRead;
      continue;
    }
    std::FILE* file = std::fopen(name.c_str(), "rb");
    if (!file) {
      Complain("'" + name + "': " + std::strerror(errno));
      allRead = false;
      continue;
    }
    allRead = ConvertFile(name, file, work, tally) && allRead;
    std::fclose(file);
  }
  Complain(std::to_string(tally.converted) + " converted, " + std::to_string(tally.passedThrough) +
           " passed through, " + std::to_string(tally.failed) + " failed");
  return allRead && tally.failed == 0 ? kSuccess : kFailure;
}

}  // namespace zentrova::cli
