#include <windows.h>
// After windows.h:
#include <winhttp.h>

#include "checks/check_transport.h"
#include "checks/ie_proxy_list.h"

namespace zentrova::checks {
namespace {

std::string Narrow(const wchar_t* wide) {
  std::string narrow;
  if (wide == nullptr) return narrow;
  for (; *wide != L'\0'; ++wide) narrow.push_back(*wide < 0x80 ? static_cast<char>(*wide) : '?');
  return narrow;
}

void Free(wchar_t* text) {
  if (text != nullptr) GlobalFree(text);
}

}  // namespace

std::optional<std::string> SystemProxy(std::string_view url) {
  WINHTTP_CURRENT_USER_IE_PROXY_CONFIG settings{};
  if (!WinHttpGetIEProxyConfigForCurrentUser(&settings)) return std::nullopt;
  std::string list = Narrow(settings.lpszProxy);
  std::string bypass = Narrow(settings.lpszProxyBypass);
  if (settings.fAutoDetect || settings.lpszAutoConfigUrl != nullptr) {
    // WinHTTP runs the PAC script; what it names wins over the fixed proxy, as in the browser.
    HINTERNET session = WinHttpOpen(L"Zentrova", WINHTTP_ACCESS_TYPE_NO_PROXY,
                                    WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
    if (session != nullptr) {
      WINHTTP_AUTOPROXY_OPTIONS options{};
      if (settings.lpszAutoConfigUrl != nullptr) {
        options.dwFlags |= WINHTTP_AUTOPROXY_CONFIG_URL;
        options.lpszAutoConfigUrl = settings.lpszAutoConfigUrl;
      }
      if (settings.fAutoDetect) {
        options.dwFlags |= WINHTTP_AUTOPROXY_AUTO_DETECT;
        options.dwAutoDetectFlags = WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A;
      }
      options.fAutoLogonIfChallenged = FALSE;
      std::wstring wide(url.begin(), url.end());
      WINHTTP_PROXY_INFO info{};
      if (WinHttpGetProxyForUrl(session, wide.c_str(), &options, &info)) {
        if (info.dwAccessType == WINHTTP_ACCESS_TYPE_NAMED_PROXY) {
          list = Narrow(info.lpszProxy);
          bypass = Narrow(info.lpszProxyBypass);
        } else {
          list.clear();
        }
        Free(info.lpszProxy);
        Free(info.lpszProxyBypass);
      }
      WinHttpCloseHandle(session);
    }
  }
  Free(settings.lpszAutoConfigUrl);
  Free(settings.lpszProxy);
  Free(settings.lpszProxyBypass);
  return ProxyFromIeList(list, bypass, url);
}

}  // namespace zentrova::checks
