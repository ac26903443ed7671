#include "cli/terminal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/cli_commands.h"
#include "codec/utf8.h"

namespace zentrova::cli {
namespace {

int gOutputError = 0;  // the first error that standard output met

}  // namespace

void GuardStandardStreams() {
  for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // Opened the wrong way round on purpose: reading standard output or writing standard
    // input fails, and that failure is reported as a closed stream would be.
    const int placeholder = ::open("/dev/null", fd == STDIN_FILENO ? O_WRONLY : O_RDONLY);
    if (placeholder >= 0 && placeholder != fd) {
      dup2(placeholder, fd);
      ::close(placeholder);
    }
  }
}

std::string ForTerminal(std::u16string_view text) {
  const auto bytes = ToNativeName(text);
  return bytes ? *bytes : ToUtf8(text);
}

void Complain(std::string_view message) {
  // Where both streams reach one reader (a terminal, a pipe), what was written to standard
  // output before the message comes before it; a file gains nothing from a flush but a write.
  static const bool outputIsFile = [] {
    struct stat output {};
    return fstat(STDOUT_FILENO, &output) == 0 && S_ISREG(output.st_mode);
  }();
  if (!outputIsFile) std::fflush(stdout);
  std::string line = "zentrova-cli: ";
  line.append(message);
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

bool WriteOut(std::string_view text) {
  errno = 0;
  if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0) {
    return true;
  }
  if (gOutputError == 0) gOutputError = errno != 0 ? errno : EIO;
  return false;
}

void WriteOutBuffered(std::string_view text) {
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() && gOutputError == 0) {
    gOutputError = errno != 0 ? errno : EIO;
  }
}

int CloseStandardOutput(int status) {
  errno = 0;
  if (std::fclose(stdout) != 0 && gOutputError == 0) gOutputError = errno != 0 ? errno : EIO;
  if (gOutputError != 0) {
    Complain(std::string("cannot write to standard output: ") + std::strerror(gOutputError));
    return kFailure;
  }
  return status;
}

}  // namespace zentrova::cli
