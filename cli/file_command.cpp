#include <unistd.h>

#include <charconv>
#include <csignal>
#include <cstdio>

#include "cli/cli_commands.h"
#include "cli/progress_listener.h"
#include "cli/terminal.h"
#include "codec/base64.h"
#include "codec/file_io.h"
#include "codec/utf8.h"

namespace zentrova::cli {
namespace {

// The largest size that still rounds up to whole lines (54 bytes) and whole groups of eight
// lines (584 characters) within 32 bits.
constexpr std::int64_t kLargestBlockSize = 2147483610;

extern "C" void OnInterrupt(int) { fileio::RequestInterrupt(); }

// Sets the codec's block size from the option's text; returns false, having said why, when
// the text is no block size the codec can use.
bool ApplyBlockSize(Base64& codec, const std::string& text) {
  std::int64_t value = 0;
  const char* end = text.data() + text.size();
  const auto [at, error] = std::from_chars(text.data(), end, value);
  bool usable = error == std::errc() && at == end && !text.empty() && value >= 1 &&
                value <= std::numeric_limits<std::int32_t>::max();
  if (usable) {
    try {
      codec.BlockSize(static_cast<std::int32_t>(value));
    } catch (const CodecError&) {
      usable = false;  // too large to round up to whole lines
    }
  }
  if (!usable) {
    Usage("--block-size '" + text + "' is no block size: give a whole number of bytes from 1 to " +
          std::to_string(kLargestBlockSize));
  }
  return usable;
}

std::string Quoted(const std::string& name) { return "'" + name + "'"; }

}  // namespace

int RunFileCommand(bool encode, const std::string& in, const std::string& out,
                   const std::optional<std::string>& blockSize) {
  Base64 codec;
  if (codec.LastErrorCode() != 0) {
    Complain("error " + std::to_string(codec.LastErrorCode()) + ": " +
             ForTerminal(codec.LastErrorDescription()));
    return kFailure;
  }
  if (blockSize && !ApplyBlockSize(codec, *blockSize)) return kUsage;

  fileio::ClearInterrupt();
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);  // no SA_RESTART: a blocked open or write must return
  struct sigaction previous {};
  sigaction(SIGINT, &action, &previous);

  ProgressListener progress(isatty(STDERR_FILENO) ? stderr : nullptr);
  codec.Attach(progress);
  // Names are bytes here; they travel through the codec's UTF-16 without loss.
  std::u16string inFile = FromNativeName(in);
  std::u16string outFile = FromNativeName(out);
  const Bool16 completed =
      encode ? codec.EncodeFile(inFile, outFile) : codec.DecodeFile(inFile, outFile);
  sigaction(SIGINT, &previous, nullptr);

  if (progress.cancelled()) {
    if (completed) {
      Complain("cancelled; " + Quoted(out) + " holds the first " +
               std::to_string(progress.blocksDone()) + " of " +
               std::to_string(progress.blocksTotal()) + " blocks");
    } else if (progress.outputOpened() && progress.blocksDone() > 0) {
      Complain("cancelled while writing; " + Quoted(out) + " holds the first " +
               std::to_string(progress.blocksDone()) + " blocks and part of the next");
    } else if (progress.outputOpened()) {
      Complain("cancelled; " + Quoted(out) + " may hold part of the first block");
    } else {
      Complain("cancelled before " + Quoted(out) + " was opened");
    }
    return kCancelled;
  }
  if (!completed) return kFailure;
  if (progress.skippedBlocks() > 0) {
    Complain(std::to_string(progress.skippedBlocks()) + " of " +
             std::to_string(progress.blocksTotal()) +
             " blocks could not be decoded and were skipped; " + Quoted(out) + " is incomplete");
  }
  // A block that could not be converted does not stop the run, but the result is not whole.
  return progress.errors() == 0 ? kSuccess : kFailure;
}

}  // namespace zentrova::cli
