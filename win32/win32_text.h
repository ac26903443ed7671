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

// The clipboard's CF_UNICODETEXT, up to its terminator or the end of its block; "" when it
// holds none. The caller has the clipboard open.
std::wstring OpenClipboardText();

}  // namespace zentrova::win32
