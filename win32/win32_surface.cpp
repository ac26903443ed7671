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

std::u16string EditTextBox::Text() const { return FromWide(WindowText(controls_.Find(name_))); }

void EditTextBox::SetText(const std::u16string& text) {
  const std::wstring wide = ToWide(text);
  // Emptied first, so that a box replaced to suit the new text never lays the old one out.
  SetWindowTextW(controls_.Find(name_), L"");
  HWND edit = controls_.FitWrapping(controls_.Find(name_), wide);
  if (!edit) throw std::runtime_error("the text box cannot be made to show the text");
  if (!SetWindowTextW(edit, wide.c_str())) {
    throw std::runtime_error("the text box cannot hold the text");
  }
}

std::u16string SystemClipboard::GetText() {
  OpenedClipboard opened(owner_);
  return FromWide(OpenClipboardText());
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
  if (!locked) {
    GlobalFree(block);
    throw std::runtime_error("the text for the clipboard cannot be written");
  }
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
