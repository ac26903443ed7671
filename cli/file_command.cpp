#include <charconv>
#include <cstdio>

#include "cli/cli_commands.h"
#include "cli/codec_words.h"
#include "cli/progress_listener.h"
#include "cli/system.h"
#include "cli/terminal.h"
#include "codec/base64.h"
#include "codec/file_io.h"
#include "codec/utf8.h"
#include "messages/messages.h"

namespace zentrova::cli {
namespace {

// The largest size that still rounds up to whole lines (54 bytes) and whole groups of eight
// lines (584 characters) within 32 bits.
constexpr std::int64_t kLargestBlockSize = 2147483610;

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
    Usage(Say("--block-size '{0}' is no block size: give a whole number of bytes from 1 to {1}",
              {text, std::to_string(kLargestBlockSize)}));
  }
  return usable;
}

}  // namespace

int RunFileCommand(bool encode, const std::string& in, const std::string& out,
                   const std::optional<std::string>& blockSize) {
  Base64 codec;
  if (codec.LastErrorCode() != 0) {
    Complain(Say("error {0}: ", {std::to_string(codec.LastErrorCode())}) +
             CodecWords(codec.LastErrorDescription(), &sys::ShownName));
    return kFailure;
  }
  if (blockSize && !ApplyBlockSize(codec, *blockSize)) return kUsage;

  fileio::ClearInterrupt();
  sys::CatchInterrupt();
  ProgressListener progress(sys::IsTerminal(sys::Stream::kErr));
  codec.Attach(progress);
  std::u16string inFile = sys::FileName(in);
  std::u16string outFile = sys::FileName(out);
  const Bool16 completed =
      encode ? codec.EncodeFile(inFile, outFile) : codec.DecodeFile(inFile, outFile);
  sys::ReleaseInterrupt();

  if (progress.cancelled()) {
    if (completed) {
      Complain(Say(
          "cancelled; '{0}' holds the first {1} of {2} blocks",
          {out, std::to_string(progress.blocksDone()), std::to_string(progress.blocksTotal())}));
    } else if (progress.outputOpened() && progress.blocksDone() > 0) {
      Complain(Say("cancelled while writing; '{0}' holds the first {1} blocks and part of the next",
                   {out, std::to_string(progress.blocksDone())}));
    } else if (progress.outputOpened()) {
      Complain(Say("cancelled; '{0}' may hold part of the first block", {out}));
    } else {
      Complain(Say("cancelled before '{0}' was opened", {out}));
    }
    return kCancelled;
  }
  if (!completed) return kFailure;
  if (progress.skippedBlocks() > 0) {
    Complain(Say(
        "{0} of {1} blocks could not be decoded and were skipped; '{2}' is incomplete",
        {std::to_string(progress.skippedBlocks()), std::to_string(progress.blocksTotal()), out}));
  }
  // A block that could not be converted does not stop the run, but the result is not whole.
  return progress.errors() == 0 ? kSuccess : kFailure;
}

}  // namespace zentrova::cli
