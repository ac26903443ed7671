#include "codec/file_io.h"

#include "codec/base64.h"
#include "codec/utf8.h"

#ifdef _WIN32
#include <windows.h>

#include <algorithm>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace zentrova::fileio {
namespace {

std::u16string Quoted(const std::u16string& name) { return u"'" + name + u"'"; }

#ifdef _WIN32

std::wstring Wide(const std::u16string& name) { return std::wstring(name.begin(), name.end()); }

[[noreturn]] void Fail(std::u16string_view action, const std::u16string& name) {
  const DWORD error = GetLastError();
  std::int32_t code = kPathFileAccessError;
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
      code = kFileNotFound;
      break;
    case ERROR_PATH_NOT_FOUND:
      code = kPathNotFound;
      break;
    case ERROR_ACCESS_DENIED: {
      // Opening a folder as a file is refused as access denied; it is a path error, as on
      // every other system.
      const DWORD attributes = GetFileAttributesW(Wide(name).c_str());
      const bool folder =
          attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      code = folder ? kPathFileAccessError : kPermissionDenied;
      break;
    }
    case ERROR_SHARING_VIOLATION:
    case ERROR_WRITE_PROTECT:
      code = kPermissionDenied;
      break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      code = kDiskFull;
      break;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      code = kOutOfMemory;
      break;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
      code = kDeviceIoError;
      break;
    default:
      break;
  }
  wchar_t* text = nullptr;
  FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::u16string cause = text ? std::u16string(text, text + wcslen(text)) : u"";
  if (text) LocalFree(text);
  while (!cause.empty() && (cause.back() == u'\n' || cause.back() == u'\r')) cause.pop_back();
  throw CodecError(code, std::u16string(action) + Quoted(name) + u"：" + cause);
}

#else

std::string NativePath(const std::u16string& name) { return ToUtf8(name); }

[[noreturn]] void Fail(std::u16string_view action, const std::u16string& name,
                       bool creating = false) {
  const int error = errno;
  std::int32_t code = kPathFileAccessError;
  switch (error) {
    case ENOENT:
      code = creating ? kPathNotFound : kFileNotFound;
      break;
    case ENOTDIR:
      code = kPathNotFound;
      break;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
      code = kPermissionDenied;
      break;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      code = kDiskFull;
      break;
    case EIO:
      code = kDeviceIoError;
      break;
    case ENOMEM:
      code = kOutOfMemory;
      break;
    default:
      break;
  }
  throw CodecError(code,
                   std::u16string(action) + Quoted(name) + u"：" + FromUtf8(std::strerror(error)));
}

#endif

}  // namespace

#ifdef _WIN32

bool IsOrdinaryFile(const std::u16string& name) {
  if (name.empty()) return false;
  const DWORD attributes = GetFileAttributesW(Wide(name).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}

InputFile::InputFile(const std::u16string& name) : name_(name) {
  handle_ = CreateFileW(Wide(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle_ == INVALID_HANDLE_VALUE) Fail(u"无法打开输入文件 ", name_);
  open_ = true;
}

std::int64_t InputFile::Length() const {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(handle_, &size)) Fail(u"无法取得文件长度 ", name_);
  return size.QuadPart;
}

std::size_t InputFile::Read(char* buffer, std::size_t size) {
  std::size_t total = 0;
  while (total < size) {
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size - total, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(handle_, buffer + total, want, &got, nullptr)) Fail(u"读取失败 ", name_);
    if (got == 0) break;
    total += got;
  }
  position_ += static_cast<std::int64_t>(total);
  atEnd_ = total < size || position_ >= Length();
  return total;
}

void InputFile::Close() {
  open_ = false;
  if (!CloseHandle(handle_)) Fail(u"关闭失败 ", name_);
}

InputFile::~InputFile() {
  if (open_) CloseHandle(handle_);
}

OutputFile::OutputFile(const std::u16string& name) : name_(name) {
  handle_ = CreateFileW(Wide(name).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle_ == INVALID_HANDLE_VALUE) Fail(u"无法打开输出文件 ", name_);
  open_ = true;
}

void OutputFile::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD wrote = 0;
    if (!WriteFile(handle_, bytes.data(), want, &wrote, nullptr)) Fail(u"写入失败 ", name_);
    bytes.remove_prefix(wrote);
  }
}

void OutputFile::Close() {
  open_ = false;
  if (!CloseHandle(handle_)) Fail(u"关闭失败 ", name_);
}

OutputFile::~OutputFile() {
  if (open_) CloseHandle(handle_);
}

#else

bool IsOrdinaryFile(const std::u16string& name) {
  struct stat info;
  return !name.empty() && stat(NativePath(name).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

InputFile::InputFile(const std::u16string& name) : name_(name) {
  handle_ = ::open(NativePath(name).c_str(), O_RDONLY | O_CLOEXEC);
  if (handle_ < 0) Fail(u"无法打开输入文件 ", name_);
  open_ = true;
  posix_fadvise(handle_, 0, 0, POSIX_FADV_SEQUENTIAL);
}

std::int64_t InputFile::Length() const {
  struct stat info;
  if (fstat(handle_, &info) != 0) Fail(u"无法取得文件长度 ", name_);
  return info.st_size;
}

std::size_t InputFile::Read(char* buffer, std::size_t size) {
  std::size_t total = 0;
  while (total < size) {
    const ssize_t got = ::read(handle_, buffer + total, size - total);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) Fail(u"读取失败 ", name_);
    if (got == 0) break;
    total += static_cast<std::size_t>(got);
  }
  position_ += static_cast<std::int64_t>(total);
  atEnd_ = total < size || position_ >= Length();
  return total;
}

void InputFile::Close() {
  open_ = false;
  if (::close(handle_) != 0) Fail(u"关闭失败 ", name_);
}

InputFile::~InputFile() {
  if (open_) ::close(handle_);
}

OutputFile::OutputFile(const std::u16string& name) : name_(name) {
  handle_ = ::open(NativePath(name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (handle_ < 0) Fail(u"无法打开输出文件 ", name_, true);
  open_ = true;
}

void OutputFile::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t wrote = ::write(handle_, bytes.data(), bytes.size());
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote < 0) Fail(u"写入失败 ", name_);
    bytes.remove_prefix(static_cast<std::size_t>(wrote));
  }
}

void OutputFile::Close() {
  open_ = false;
  if (::close(handle_) != 0) Fail(u"关闭失败 ", name_);
}

OutputFile::~OutputFile() {
  if (open_) ::close(handle_);
}

#endif

}  // namespace zentrova::fileio
