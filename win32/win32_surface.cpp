#include "win32/win32_surface.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <string>

#include "win32/win32_text.h"

namespace zentrova::win32 {
namespace {

// Opens the clipboard for the lifetime of the object. Another program may hold it for a
// moment (a clipboard manager reading what we just put there), so a few tries are made.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND owner) {
    for (int attempt = 0; attempt < 20; ++attempt) {
      if (OpenClipboard(owner)) return;
      Sleep(25);
    }
    throw std::runtime_error("the clipboard is in use by another program");
  }
  ~OpenedClipboard() { CloseClipboard(); }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
};

}  // namespace

std::u16string EditTextBox::Text() const {
  const int length = GetWindowTextLengthW(edit_);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(edit_, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return FromWide(text);
}

void EditTextBox::SetText(const std::u16string& text) {
  if (!SetWindowTextW(edit_, ToWide(text).c_str())) {
    throw std::runtime_error("the text box cannot hold the text");
  }
}

std::u16string SystemClipboard::GetText() {
  OpenedClipboard opened(owner_);
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (!data) return u"";
  const auto* locked = static_cast<const wchar_t*>(GlobalLock(data));
  if (!locked) return u"";
  // The text ends at its terminator, or at the end of the block if it has none.
  const std::size_t capacity = GlobalSize(data) / sizeof(wchar_t);
  std::size_t length = 0;
  while (length < capacity && locked[length] != L'\0') ++length;
  std::u16string text = FromWide(std::wstring_view(locked, length));
  GlobalUnlock(data);
  return text;
}

void SystemClipboard::Clear() {
  OpenedClipboard opened(owner_);
  EmptyClipboard();
}

void SystemClipboard::SetText(const std::u16string& text) {
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!block) throw std::bad_alloc();
  auto* locked = static_cast<wchar_t*>(GlobalLock(block));
  std::copy(text.begin(), text.end(), locked);
  locked[text.size()] = L'\0';
  GlobalUnlock(block);
  try {
    OpenedClipboard opened(owner_);
    EmptyClipboard();
    if (!SetClipboardData(CF_UNICODETEXT, block)) {
      throw std::runtime_error("the clipboard did not take the text");
    }
  } catch (...) {
    GlobalFree(block);  // still ours: the clipboard owns it only once SetClipboardData succeeds
    throw;
  }
}

}  // namespace zentrova::win32
