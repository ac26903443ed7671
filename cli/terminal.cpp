#include "cli/terminal.h"

#include <cerrno>
#include <cstdio>

#include "cli/cli_commands.h"
#include "cli/system.h"
#include "messages/messages.h"

namespace zentrova::cli {
namespace {

int gOutputError = 0;      // the first error that standard output met
bool gErrorsWait = false;  // messages wait in standard error's buffer (BufferErrors)
// What standard output's buffer holds, while messages wait: before it would leave, they do.
std::size_t gOutputHeld = 0;
constexpr std::size_t kOutputBuffer = 1 << 16;

void FlushOutputStream() {
  errno = 0;
  if (std::fflush(stdout) != 0 && gOutputError == 0) gOutputError = errno != 0 ? errno : EIO;
  gOutputHeld = 0;
}

// Whether `stream` (standard output or error) is a console, asked once for each.
bool ToConsole(sys::Stream stream) {
  static const bool out = sys::IsConsole(sys::Stream::kOut);
  static const bool err = sys::IsConsole(sys::Stream::kErr);
  return stream == sys::Stream::kOut ? out : err;
}

}  // namespace

void Complain(std::string_view message) {
  // Where both streams reach one reader (a terminal, a pipe), what was written to standard
  // output before the message comes before it; a file gains nothing from a flush but a write,
  // and output that goes elsewhere (a pipe into aria2c) need not leave early for the message.
  static const bool flush =
      !sys::RegularFileSize(sys::Stream::kOut).has_value() && sys::OutputAndErrorMeet();
  if (flush) std::fflush(stdout);
  std::string line = "zentrova-cli: ";
  line.append(message);
  line += '\n';
  WriteError(line);
}

void WriteError(std::string_view text) {
  if (ToConsole(sys::Stream::kErr)) {
    sys::WriteToConsole(sys::Stream::kErr, text);
    return;
  }
  std::fwrite(text.data(), 1, text.size(), stderr);
  if (!gErrorsWait) std::fflush(stderr);
}

void BufferStreams() {
  static char outputBuffer[kOutputBuffer];
  std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
  // A terminal shows each message as it comes, and where both streams meet the order matters.
  if (sys::IsTerminal(sys::Stream::kErr) || sys::OutputAndErrorMeet()) return;
  static char errorBuffer[1 << 16];
  gErrorsWait = std::setvbuf(stderr, errorBuffer, _IOFBF, sizeof errorBuffer) == 0;
}

void FlushErrors() { std::fflush(stderr); }

void FlushOutput() {
  // Messages first: a reader that has gone ends the program at the write that finds it gone.
  FlushErrors();
  FlushOutputStream();
}

bool WriteOut(std::string_view text) {
  WriteOutBuffered(text);
  FlushErrors();
  FlushOutputStream();
  return gOutputError == 0;
}

void WriteOutBuffered(std::string_view text) {
  if (text.empty()) return;
  if (ToConsole(sys::Stream::kOut)) {
    sys::WriteToConsole(sys::Stream::kOut, text);
    return;
  }
  // While messages wait, the results leave only when this program says so, after them: a
  // reader that stops reading (aria2c, head) must not take the messages with it.
  if (gErrorsWait && gOutputHeld + text.size() > kOutputBuffer) FlushOutput();
  errno = 0;
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() && gOutputError == 0) {
    gOutputError = errno != 0 ? errno : EIO;
  }
  gOutputHeld += text.size();
}

int CloseStandardOutput(int status) {
  FlushErrors();
  errno = 0;
  if (std::fclose(stdout) != 0 && gOutputError == 0) gOutputError = errno != 0 ? errno : EIO;
  if (gOutputError != 0) {
    Complain(Say("cannot write to standard output: {0}", {sys::ErrorText(gOutputError)}));
    return kFailure;
  }
  return status;
}

}  // namespace zentrova::cli
