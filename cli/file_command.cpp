#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "cli/cli_commands.h"
#include "cli/progress_listener.h"
#include "codec/base64.h"
#include "codec/utf8.h"

namespace zentrova::cli {
namespace {

volatile std::sig_atomic_t gInterrupted = 0;

extern "C" void OnInterrupt(int) { gInterrupted = 1; }

// Keeps the last error the codec raised, in words.
class ErrorListener : public Base64Events {
 public:
  void ErrorOccured(std::int32_t lngCode, const std::u16string& strDescription) override {
    std::fprintf(stderr, "zentrova-cli: error %d: %s\n", lngCode, ToUtf8(strDescription).c_str());
    ++errors;
  }
  int errors = 0;
};

}  // namespace

int RunFileCommand(bool encode, const std::string& in, const std::string& out,
                   std::optional<std::int32_t> blockSize) {
  Base64 codec;
  if (codec.LastErrorCode() != 0) {
    std::fprintf(stderr, "zentrova-cli: error %d: %s\n", codec.LastErrorCode(),
                 ToUtf8(codec.LastErrorDescription()).c_str());
    return kFailure;
  }
  if (blockSize) {
    try {
      codec.BlockSize(*blockSize);
    } catch (const CodecError& e) {
      std::fprintf(stderr, "zentrova-cli: --block-size %d: error %d: %s\n", *blockSize, e.code(),
                   ToUtf8(e.description()).c_str());
      return kUsage;
    }
  }

  gInterrupted = 0;
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  struct sigaction previous {};
  sigaction(SIGINT, &action, &previous);

  ProgressListener progress(gInterrupted, isatty(STDERR_FILENO) ? stderr : nullptr);
  ErrorListener errors;
  codec.Attach(progress);
  codec.Attach(errors);
  std::u16string inFile = FromUtf8(in);
  std::u16string outFile = FromUtf8(out);
  const Bool16 completed =
      encode ? codec.EncodeFile(inFile, outFile) : codec.DecodeFile(inFile, outFile);
  sigaction(SIGINT, &previous, nullptr);

  if (progress.cancelled()) {
    if (completed) {
      std::fprintf(stderr, "zentrova-cli: cancelled; %s holds the first %d of %d blocks\n",
                   out.c_str(), progress.blocksDone(), progress.blocksTotal());
    } else {
      std::fprintf(stderr, "zentrova-cli: cancelled before %s was written\n", out.c_str());
    }
    return kCancelled;
  }
  if (!completed) return kFailure;
  // A block that could not be converted does not stop the run, but the result is not whole.
  return errors.errors == 0 ? kSuccess : kFailure;
}

}  // namespace zentrova::cli
