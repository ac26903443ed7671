// Texts cross between the link commands (std::u16string) and Win32 (wchar_t, UTF-16 on
// Windows) unchanged; the whole text of a window, and of the clipboard.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace zentrova::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 text is UTF-16");

inline std::wstring ToWide(std::u16string_view text) { return {text.begin(), text.end()}; }
inline std::u16string FromWide(std::wstring_view text) { return {text.begin(), text.end()}; }

// The whole text of `window`.
std::wstring WindowText(HWND window);

// The clipboard's CF_UNICODETEXT where it lies, up to its terminator or the end of its block,
// for as long as the object lives; "" when the clipboard holds none. The caller has the
// clipboard open. Throws std::runtime_error when the clipboard holds a text that cannot be
// reached.
class LockedClipboardText {
 public:
  LockedClipboardText();
  ~LockedClipboardText();
  LockedClipboardText(const LockedClipboardText&) = delete;
  LockedClipboardText& operator=(const LockedClipboardText&) = delete;
  std::wstring_view text() const { return text_; }

 private:
  HANDLE data_ = nullptr;
  std::wstring_view text_;
};

// A copy of the clipboard's text, as LockedClipboardText finds it.
std::wstring OpenClipboardText();

}  // namespace zentrova::win32
