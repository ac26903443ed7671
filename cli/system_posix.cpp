#include <fcntl.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "cli/system.h"
#include "codec/file_io.h"
#include "codec/utf8.h"

namespace zentrova::cli::sys {
namespace {

extern "C" void OnInterrupt(int) { fileio::RequestInterrupt(); }

struct sigaction gPrevious {};

}  // namespace

void PrepareStandardStreams() {
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

void ReturnLargeBlocks() {
#if defined(__GLIBC__)
  // A fixed threshold: glibc otherwise raises it to each large block freed (up to 32 MiB), and
  // the blocks of a growing line then come from the heap and stay there.
  mallopt(M_MMAP_THRESHOLD, 1 << 20);
#endif
}

bool IsTerminal(Stream stream) { return isatty(static_cast<int>(stream)) == 1; }

std::optional<std::uint64_t> RegularFileSize(Stream stream) {
  struct stat info {};
  if (fstat(static_cast<int>(stream), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return static_cast<std::uint64_t>(info.st_size);
}

bool OutputAndErrorMeet() {
  struct stat out {
  }, err{};
  if (fstat(STDOUT_FILENO, &out) != 0 || fstat(STDERR_FILENO, &err) != 0) return true;
  return out.st_dev == err.st_dev && out.st_ino == err.st_ino;
}

bool IsConsole(Stream) { return false; }

void WriteToConsole(Stream, std::string_view) {}

int StandardInput() { return STDIN_FILENO; }

int StandardOutput() { return STDOUT_FILENO; }

int OpenForReading(const std::string& name) { return ::open(name.c_str(), O_RDONLY | O_CLOEXEC); }

void Close(int fd) { ::close(fd); }

std::optional<fileio::FileIdentity> DiskFileOf(int fd) { return fileio::DiskFileIdentity(fd); }

std::optional<fileio::FileIdentity> DiskFileNamed(const std::string& name) {
  return fileio::DiskFileIdentity(std::filesystem::path(name));
}

long Read(int fd, char* buffer, std::size_t size) { return ::read(fd, buffer, size); }

// Names are bytes here; they travel through the codec's UTF-16 without loss.
std::u16string FileName(const std::string& word) { return FromNativeName(word); }

std::string ShownName(std::u16string_view name) {
  const auto bytes = ToNativeName(name);
  return bytes ? *bytes : ToUtf8(name);
}

std::string ErrorText(int error) { return std::strerror(error); }

void CatchInterrupt() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);  // no SA_RESTART: a blocked open or write must return
  sigaction(SIGINT, &action, &gPrevious);
}

void ReleaseInterrupt() { sigaction(SIGINT, &gPrevious, nullptr); }

}  // namespace zentrova::cli::sys
