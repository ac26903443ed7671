#include "win32/win32_text.h"

namespace zentrova::win32 {

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}

std::wstring OpenClipboardText() {
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (!data) return {};
  const auto* locked = static_cast<const wchar_t*>(GlobalLock(data));
  if (!locked) return {};
  const std::size_t capacity = GlobalSize(data) / sizeof(wchar_t);
  std::size_t length = 0;
  while (length < capacity && locked[length] != L'\0') ++length;
  std::wstring text(locked, length);
  GlobalUnlock(data);
  return text;
}

}  // namespace zentrova::win32
