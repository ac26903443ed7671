#include <windows.h>
// After windows.h:
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/system.h"
#include "codec/file_io.h"
#include "codec/utf8.h"

namespace zentrova::cli::sys {
namespace {

HANDLE HandleOf(Stream stream) {
  switch (stream) {
    case Stream::kIn:
      return GetStdHandle(STD_INPUT_HANDLE);
    case Stream::kOut:
      return GetStdHandle(STD_OUTPUT_HANDLE);
    case Stream::kErr:
      return GetStdHandle(STD_ERROR_HANDLE);
  }
  return INVALID_HANDLE_VALUE;
}

BOOL WINAPI OnControl(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  fileio::RequestInterrupt();
  return TRUE;
}

}  // namespace

void PrepareStandardStreams() {
  // Results are the same bytes as on Linux: UTF-8 with LF line ends, in files and pipes alike.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

void ReturnLargeBlocks() {}  // the Windows heap gives large blocks back by itself

bool IsTerminal(Stream stream) {
  DWORD mode = 0;
  return GetConsoleMode(HandleOf(stream), &mode) != 0;
}

std::optional<std::uint64_t> RegularFileSize(Stream stream) {
  const HANDLE handle = HandleOf(stream);
  LARGE_INTEGER size{};
  if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileSizeEx(handle, &size)) return std::nullopt;
  return static_cast<std::uint64_t>(size.QuadPart);
}

bool OutputAndErrorMeet() {
  BY_HANDLE_FILE_INFORMATION out{}, err{};
  if (!GetFileInformationByHandle(HandleOf(Stream::kOut), &out) ||
      !GetFileInformationByHandle(HandleOf(Stream::kErr), &err)) {
    return true;  // consoles and pipes say nothing of themselves here
  }
  return out.dwVolumeSerialNumber == err.dwVolumeSerialNumber &&
         out.nFileIndexHigh == err.nFileIndexHigh && out.nFileIndexLow == err.nFileIndexLow;
}

bool IsConsole(Stream stream) { return IsTerminal(stream); }

void WriteToConsole(Stream stream, std::string_view text) {
  const std::u16string wide = FromUtf8(text);
  const HANDLE console = HandleOf(stream);
  std::size_t done = 0;
  while (done < wide.size()) {
    DWORD written = 0;
    const DWORD count = static_cast<DWORD>(std::min<std::size_t>(wide.size() - done, 16384));
    if (!WriteConsoleW(console, reinterpret_cast<const wchar_t*>(wide.data()) + done, count,
                       &written, nullptr) ||
        written == 0) {
      break;
    }
    done += written;
  }
}

int StandardInput() { return _fileno(stdin); }

int StandardOutput() { return _fileno(stdout); }

int OpenForReading(const std::string& name) {
  const std::u16string wide = FromUtf8(name);
  return _wopen(reinterpret_cast<const wchar_t*>(wide.c_str()),
                _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}

void Close(int fd) { _close(fd); }

std::optional<fileio::FileIdentity> DiskFileOf(int fd) {
  const intptr_t handle = _get_osfhandle(fd);
  if (handle == -1) return std::nullopt;
  return fileio::DiskFileIdentity(reinterpret_cast<HANDLE>(handle));
}

std::optional<fileio::FileIdentity> DiskFileNamed(const std::string& name) {
  const std::u16string wide = FromUtf8(name);
  return fileio::DiskFileIdentity(std::filesystem::path(std::wstring(wide.begin(), wide.end())));
}

long Read(int fd, char* buffer, std::size_t size) {
  return _read(fd, buffer, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
}

// The command line arrives as UTF-16 and is carried as UTF-8 (main.cpp); names go back.
std::u16string FileName(const std::string& word) { return FromUtf8(word); }

std::string ShownName(std::u16string_view name) { return ToUtf8(name); }

std::string ErrorText(int error) { return std::strerror(error); }

void CatchInterrupt() { SetConsoleCtrlHandler(OnControl, TRUE); }

void ReleaseInterrupt() { SetConsoleCtrlHandler(OnControl, FALSE); }

}  // namespace zentrova::cli::sys
