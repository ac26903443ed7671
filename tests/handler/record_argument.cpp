// A stand-in for the program Windows hands an address to (the browser, a torrent client): it
// appends the address it was given, as UTF-8 and one to a line, to the file named first, so
// that a test reads exactly what reached it.
//   record_argument.exe FILE ARGUMENT
#include <windows.h>
// After windows.h:
#include <shellapi.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments == nullptr || count != 3) return 2;
  const int size = WideCharToMultiByte(CP_UTF8, 0, arguments[2], -1, nullptr, 0, nullptr, nullptr);
  std::string line(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, arguments[2], -1, line.data(), size, nullptr, nullptr);
  line.back() = '\n';  // in place of the terminating NUL
  const HANDLE file = CreateFileW(arguments[1], FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  LocalFree(arguments);
  if (file == INVALID_HANDLE_VALUE) return 3;
  DWORD written = 0;
  const bool whole =
      WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
      written == line.size();
  CloseHandle(file);
  return whole ? 0 : 4;
}
