// The file layer on Windows, where file names are UTF-16.
#include <windows.h>

#include <algorithm>

#include "codec/file_io.h"

namespace zentrova::fileio {
namespace {

[[noreturn]] void Fail(std::u16string_view action, const std::filesystem::path& path) {
  const DWORD error = GetLastError();
  std::int32_t code = errors::kPathFileAccessError;
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
      code = errors::kFileNotFound;
      break;
    case ERROR_PATH_NOT_FOUND:
      code = errors::kPathNotFound;
      break;
    case ERROR_ACCESS_DENIED: {
      // Opening a folder as a file is refused as access denied; it is a path error, as on
      // every other system.
      const DWORD attributes = GetFileAttributesW(path.c_str());
      const bool folder =
          attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      code = folder ? errors::kPathFileAccessError : errors::kPermissionDenied;
      break;
    }
    case ERROR_SHARING_VIOLATION:
    case ERROR_WRITE_PROTECT:
      code = errors::kPermissionDenied;
      break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      code = errors::kDiskFull;
      break;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      code = errors::kOutOfMemory;
      break;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
      code = errors::kDeviceIoError;
      break;
    case ERROR_INVALID_NAME:
    case ERROR_FILENAME_EXCED_RANGE:
      code = errors::kBadFileName;
      break;
    case ERROR_OPERATION_ABORTED:
      code = errors::kUserInterrupt;
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
  FailOn(code, action, path, cause);
}

FileIdentity IdentityFrom(const BY_HANDLE_FILE_INFORMATION& info) {
  return {info.dwVolumeSerialNumber,
          (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

FileIdentity IdentityOf(HANDLE handle, const std::filesystem::path& path) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info)) Fail(errors::texts::kCannotGetInformation, path);
  return IdentityFrom(info);
}

}  // namespace

std::optional<FileIdentity> DiskFileIdentity(Handle handle) {
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &info)) {
    return std::nullopt;
  }
  return IdentityFrom(info);
}

std::optional<FileIdentity> DiskFileIdentity(const std::filesystem::path& path) {
  // Opened for its attributes only, with no access to its data.
  const HANDLE existing = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (existing == INVALID_HANDLE_VALUE) return std::nullopt;
  const std::optional<FileIdentity> identity = DiskFileIdentity(existing);
  CloseHandle(existing);
  return identity;
}

Presence FindInput(const std::filesystem::path& path) {
  if (path.empty()) return Presence::kMissing;
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return Presence::kMissing;
    Fail(errors::texts::kCannotOpenInput, path);
  }
  // Hidden and system files do not match the search, as if they were not there.
  if (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) return Presence::kMissing;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    SetLastError(ERROR_ACCESS_DENIED);
    Fail(errors::texts::kCannotOpenInput, path);
  }
  return Presence::kOrdinaryFile;
}

InputFile::InputFile(const std::filesystem::path& path) : path_(path) {
  handle_ = CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle_ == INVALID_HANDLE_VALUE) Fail(errors::texts::kCannotOpenInput, path_);
  open_ = true;
}

std::int64_t InputFile::Length() const {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(handle_, &size)) Fail(errors::texts::kCannotGetLength, path_);
  return size.QuadPart;
}

FileIdentity InputFile::Identity() const { return IdentityOf(handle_, path_); }

std::size_t InputFile::Read(char* buffer, std::size_t size) {
  std::size_t total = 0;
  while (total < size) {
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size - total, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(handle_, buffer + total, want, &got, nullptr))
      Fail(errors::texts::kReadFailed, path_);
    if (got == 0) break;
    total += got;
  }
  position_ += static_cast<std::int64_t>(total);
  atEnd_ = total < size || position_ >= Length();
  return total;
}

void InputFile::Close() {
  open_ = false;
  if (!CloseHandle(handle_)) Fail(errors::texts::kCloseFailed, path_);
}

InputFile::~InputFile() {
  if (open_) CloseHandle(handle_);
}

OutputFile::OutputFile(const std::filesystem::path& path, const InputFile& input) : path_(path) {
  // Looked at, without any access to its data, before anything is opened for writing.
  if (DiskFileIdentity(path_) == input.Identity()) FailSameFile(path_);
  handle_ = CreateFileW(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle_ == INVALID_HANDLE_VALUE) Fail(errors::texts::kCannotOpenOutput, path_);
  open_ = true;
}

void OutputFile::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD wrote = 0;
    if (!WriteFile(handle_, bytes.data(), want, &wrote, nullptr))
      Fail(errors::texts::kWriteFailed, path_);
    bytes.remove_prefix(wrote);
  }
}

void OutputFile::Close() {
  open_ = false;
  if (!CloseHandle(handle_)) Fail(errors::texts::kCloseFailed, path_);
}

OutputFile::~OutputFile() {
  if (open_) CloseHandle(handle_);
}

}  // namespace zentrova::fileio
