// The file layer on POSIX systems, where file names are bytes.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "codec/file_io.h"
#include "codec/utf8.h"

namespace zentrova::fileio {
namespace {

[[noreturn]] void Fail(int error, std::u16string_view action, const std::filesystem::path& path,
                       bool creating = false) {
  std::int32_t code = errors::kPathFileAccessError;
  switch (error) {
    case ENOENT:
      code = creating ? errors::kPathNotFound : errors::kFileNotFound;
      break;
    case ENOTDIR:
      code = errors::kPathNotFound;
      break;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
      code = errors::kPermissionDenied;
      break;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      code = errors::kDiskFull;
      break;
    case EIO:
      code = errors::kDeviceIoError;
      break;
    case ENOMEM:
      code = errors::kOutOfMemory;
      break;
    case ENAMETOOLONG:
      code = errors::kBadFileName;
      break;
    case EINTR:
      code = errors::kUserInterrupt;
      break;
    default:
      break;
  }
  FailOn(code, action, path, FromUtf8(std::strerror(error)));
}

// Interrupted calls are tried again, unless the interruption was a request to stop.
void ThrowIfInterrupted(std::u16string_view action, const std::filesystem::path& path) {
  if (InterruptRequested()) Fail(EINTR, action, path);
}

int Open(const std::filesystem::path& path, int flags, std::u16string_view action, bool creating) {
  for (;;) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno != EINTR) Fail(errno, action, path, creating);
    ThrowIfInterrupted(action, path);
  }
}

struct stat StatOf(int fd, const std::filesystem::path& path) {
  struct stat info;
  if (fstat(fd, &info) != 0) Fail(errno, errors::texts::kCannotGetInformation, path);
  return info;
}

FileIdentity IdentityOf(const struct stat& info) {
  return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

std::optional<FileIdentity> DiskIdentityOf(const struct stat& info) {
  if (!S_ISREG(info.st_mode)) return std::nullopt;
  return IdentityOf(info);
}

std::u16string_view KindOf(mode_t mode) {
  if (S_ISFIFO(mode)) return errors::texts::kNotRegularPipe;
  if (S_ISCHR(mode)) return errors::texts::kNotRegularCharacterDevice;
  if (S_ISBLK(mode)) return errors::texts::kNotRegularBlockDevice;
  if (S_ISSOCK(mode)) return errors::texts::kNotRegularSocket;
  return errors::texts::kNotRegularSpecial;
}

}  // namespace

std::optional<FileIdentity> DiskFileIdentity(Handle handle) {
  struct stat info;
  if (fstat(handle, &info) != 0) return std::nullopt;
  return DiskIdentityOf(info);
}

std::optional<FileIdentity> DiskFileIdentity(const std::filesystem::path& path) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return std::nullopt;
  return DiskIdentityOf(info);
}

Presence FindInput(const std::filesystem::path& path) {
  constexpr std::u16string_view kAction = errors::texts::kCannotOpenInput;
  struct stat info;
  if (path.empty()) return Presence::kMissing;
  if (stat(path.c_str(), &info) != 0) {
    if (errno == ENOENT) return Presence::kMissing;
    Fail(errno, kAction, path);
  }
  if (S_ISREG(info.st_mode)) return Presence::kOrdinaryFile;
  if (S_ISDIR(info.st_mode)) Fail(EISDIR, kAction, path);
  FailOn(errors::kPathFileAccessError, kAction, path, KindOf(info.st_mode));
}

InputFile::InputFile(const std::filesystem::path& path) : path_(path) {
  handle_ = Open(path_, O_RDONLY, errors::texts::kCannotOpenInput, false);
  open_ = true;
  posix_fadvise(handle_, 0, 0, POSIX_FADV_SEQUENTIAL);
}

std::int64_t InputFile::Length() const {
  struct stat info;
  if (fstat(handle_, &info) != 0) Fail(errno, errors::texts::kCannotGetLength, path_);
  return info.st_size;
}

FileIdentity InputFile::Identity() const { return IdentityOf(StatOf(handle_, path_)); }

std::size_t InputFile::Read(char* buffer, std::size_t size) {
  std::size_t total = 0;
  while (total < size) {
    const ssize_t got = ::read(handle_, buffer + total, size - total);
    if (got < 0 && errno == EINTR) {
      ThrowIfInterrupted(errors::texts::kReadFailed, path_);
      continue;
    }
    if (got < 0) Fail(errno, errors::texts::kReadFailed, path_);
    if (got == 0) break;
    total += static_cast<std::size_t>(got);
  }
  position_ += static_cast<std::int64_t>(total);
  atEnd_ = total < size || position_ >= Length();
  return total;
}

void InputFile::Close() {
  open_ = false;
  if (::close(handle_) != 0) Fail(errno, errors::texts::kCloseFailed, path_);
}

InputFile::~InputFile() {
  if (open_) ::close(handle_);
}

OutputFile::OutputFile(const std::filesystem::path& path, const InputFile& input) : path_(path) {
  // Opened without truncation: only once it is known not to be the input may it be emptied.
  handle_ = Open(path_, O_WRONLY | O_CREAT, errors::texts::kCannotOpenOutput, true);
  open_ = true;
  const struct stat info = StatOf(handle_, path_);
  if (DiskIdentityOf(info) == input.Identity()) FailSameFile(path_);
  if (S_ISREG(info.st_mode) && ftruncate(handle_, 0) != 0)
    Fail(errno, errors::texts::kCannotEmptyOutput, path_);
}

void OutputFile::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t wrote = ::write(handle_, bytes.data(), bytes.size());
    if (wrote < 0 && errno != EINTR) Fail(errno, errors::texts::kWriteFailed, path_);
    if (wrote > 0) bytes.remove_prefix(static_cast<std::size_t>(wrote));
    // A signal that arrives once part is written shortens the write instead of failing it.
    if (!bytes.empty()) ThrowIfInterrupted(errors::texts::kWriteFailed, path_);
  }
}

void OutputFile::Close() {
  open_ = false;
  if (::close(handle_) != 0) Fail(errno, errors::texts::kCloseFailed, path_);
}

OutputFile::~OutputFile() {
  if (open_) ::close(handle_);
}

}  // namespace zentrova::fileio
