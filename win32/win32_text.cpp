#include "win32/win32_text.h"

#include <stdexcept>

namespace zentrova::win32 {

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}

LockedClipboardText::LockedClipboardText() {
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (!data) return;
  const auto* locked = static_cast<const wchar_t*>(GlobalLock(data));
  // The clipboard says it holds a text: one that cannot be reached is a failure, not "".
  if (!locked) throw std::runtime_error("the clipboard's text cannot be read");
  data_ = data;
  const std::size_t capacity = GlobalSize(data) / sizeof(wchar_t);
  std::size_t length = 0;
  while (length < capacity && locked[length] != L'\0') ++length;
  text_ = std::wstring_view(locked, length);
}

LockedClipboardText::~LockedClipboardText() {
  if (data_) GlobalUnlock(data_);
}

std::wstring OpenClipboardText() { return std::wstring(LockedClipboardText().text()); }

}  // namespace zentrova::win32
