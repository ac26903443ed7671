// zentrova-open.exe, the program Windows runs for a thunder://, flashget:// or qqdl:// link
// clicked anywhere: it opens the link and hands the address to ShellExecute, which gives it to
// the person's own program for it (the browser for http, a torrent client for magnet). It is a
// GUI program so that no console window flashes up at each click; only a refusal shows
// anything. Its "%" are written so that ShellExecute, which replaces "%NAME%" with the
// environment's NAME, puts none of the person's settings into the address. What it hands on is
// never a special link, and it takes nothing else, so a system whose handler for http is this
// program again ends after one refusal instead of going round.
#include <windows.h>
// After windows.h:
#include <shellapi.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "codec/utf8.h"
#include "handler/handed_on.h"
#include "handler/refusal.h"
#include "handler/shell_safe.h"
#include "machine/machine_here.h"
#include "messages/messages.h"

namespace {

using zentrova::cli::Say;
using zentrova::handler::Refuse;

// ShellExecute answers with a number of its own at or below 32; the system's error it stands
// for, so that the person reads the system's own words.
DWORD SystemErrorOf(std::intptr_t answer) {
  switch (answer) {
    case 0:
    case SE_ERR_OOM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case SE_ERR_SHARE:
      return ERROR_SHARING_VIOLATION;
    case SE_ERR_NOASSOC:
    case SE_ERR_ASSOCINCOMPLETE:
      return ERROR_NO_ASSOCIATION;
    case SE_ERR_DDETIMEOUT:
    case SE_ERR_DDEFAIL:
    case SE_ERR_DDEBUSY:
      return ERROR_DDE_FAIL;
    case SE_ERR_DLLNOTFOUND:
      return ERROR_DLL_NOT_FOUND;
    default:  // ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_ACCESS_DENIED, … as they are
      return static_cast<DWORD>(answer);
  }
}

// Whether this process's environment, which ShellExecute expands "%NAME%" from, holds `name`.
bool VariableIsSet(std::string_view name) {
  const std::wstring wide(name.begin(), name.end());  // printable ASCII: the address is escaped
  wchar_t value[2];
  SetLastError(ERROR_SUCCESS);
  const DWORD length = GetEnvironmentVariableW(wide.c_str(), value, 2);
  // An empty value answers 0 too, but without the error; it would still be put in the address.
  return length != 0 || GetLastError() != ERROR_ENVVAR_NOT_FOUND;
}

std::string SystemReason(DWORD error) {
  wchar_t* words = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&words), 0, nullptr);
  std::u16string reason;
  if (length != 0) reason.assign(reinterpret_cast<const char16_t*>(words), length);
  LocalFree(words);
  while (!reason.empty() &&
         (reason.back() == u'\n' || reason.back() == u'\r' || reason.back() == u' ' ||
          reason.back() == u'.' || reason.back() == u'\u3002')) {
    reason.pop_back();
  }
  const std::string code = std::to_string(error);
  return reason.empty() ? code : zentrova::ToUtf8(reason) + " (" + code + ")";
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  zentrova::cli::UseUserLanguage();
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments == nullptr || count != 2) {
    LocalFree(arguments);
    return Refuse(Say("give one link: zentrova-open LINK"));
  }
  const std::u16string link(reinterpret_cast<const char16_t*>(arguments[1]));
  LocalFree(arguments);
  auto handed = zentrova::handler::HandOn(link, zentrova::machine::ThisMachineHere());
  if (!handed.uri.empty()) handed = zentrova::handler::ShellSafe(handed.uri, VariableIsSet);
  if (handed.uri.empty()) return Refuse(Say(handed.why.c_str(), {handed.detail}));
  const std::u16string uri = zentrova::FromUtf8(handed.uri);
  const auto answer = reinterpret_cast<std::intptr_t>(
      ShellExecuteW(nullptr, L"open", reinterpret_cast<const wchar_t*>(uri.c_str()), nullptr,
                    nullptr, SW_SHOWNORMAL));
  if (answer > 32) return 0;
  return Refuse(
      Say("Windows cannot open {0}: {1}", {handed.uri, SystemReason(SystemErrorOf(answer))}));
}
