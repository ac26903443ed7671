#include "win32/text_box_wrap.h"

#include <algorithm>
#include <string>

#include "win32/win32_text.h"

namespace zentrova::win32 {
namespace {

// Every text box is an EDIT, so one class procedure stands behind all the watched ones.
WNDPROC editProcedure = nullptr;

// The clipboard's text, or "" when another program holds the clipboard: the paste itself will
// then find out.
std::wstring ClipboardText(HWND owner) {
  if (!OpenClipboard(owner)) return {};
  std::wstring text = OpenClipboardText();
  CloseClipboard();
  return text;
}

// Whether pasting the clipboard over the selection would leave a paragraph too long to wrap.
bool PasteMakesLongParagraph(HWND edit) {
  const std::wstring pasted = ClipboardText(edit);
  if (pasted.empty()) return false;
  const std::wstring text = WindowText(edit);
  DWORD start = 0, end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  start = std::min<DWORD>(start, static_cast<DWORD>(text.size()));
  end = std::clamp<DWORD>(end, start, static_cast<DWORD>(text.size()));
  return HoldsLongParagraph(text.substr(0, start) + pasted + text.substr(end));
}

LRESULT CALLBACK WatchedEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PASTE && Wraps(edit) && PasteMakesLongParagraph(edit) &&
      PostMessageW(GetParent(edit), kRewrapMessage, kThenPaste, reinterpret_cast<LPARAM>(edit))) {
    return 0;
  }
  return CallWindowProcW(editProcedure, edit, message, wParam, lParam);
}

}  // namespace

bool HoldsLongParagraph(std::wstring_view text) {
  // Both the system's CR LF and a lone LF end a paragraph of an EDIT; CRs are not counted, so a
  // CR LF does not lengthen the paragraph it ends.
  std::size_t paragraph = 0;
  for (const wchar_t unit : text) {
    if (unit == L'\r') continue;
    paragraph = unit == L'\n' ? 0 : paragraph + 1;
    if (paragraph > kLongestWrappedParagraph) return true;
  }
  return false;
}

bool Wraps(HWND edit) { return !(GetWindowLongPtrW(edit, GWL_STYLE) & ES_AUTOHSCROLL); }

HWND RecreateEdit(HWND edit, bool wrap) {
  HWND parent = GetParent(edit);
  RECT place{};
  GetWindowRect(edit, &place);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
  auto style = static_cast<DWORD>(GetWindowLongPtrW(edit, GWL_STYLE));
  style = wrap ? style & ~static_cast<DWORD>(ES_AUTOHSCROLL) : style | ES_AUTOHSCROLL;
  HWND fresh = CreateWindowExW(
      static_cast<DWORD>(GetWindowLongPtrW(edit, GWL_EXSTYLE)), L"EDIT", L"", style, place.left,
      place.top, place.right - place.left, place.bottom - place.top, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(GetDlgCtrlID(edit))),
      reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(edit, GWLP_HINSTANCE)), nullptr);
  if (!fresh) return nullptr;

  SendMessageW(fresh, WM_SETFONT, SendMessageW(edit, WM_GETFONT, 0, 0), FALSE);
  SendMessageW(fresh, EM_SETLIMITTEXT, SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 0);
  SetWindowTextW(fresh, WindowText(edit).c_str());
  DWORD start = 0, end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  SendMessageW(fresh, EM_SETSEL, start, end);
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(edit, GWLP_WNDPROC)) == WatchedEditProc) {
    WatchPastes(fresh);
  }
  // Stacked straight after the old box, the new one keeps its place in the tab order.
  SetWindowPos(fresh, edit, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (GetFocus() == edit) SetFocus(fresh);
  DestroyWindow(edit);
  return fresh;
}

void WatchPastes(HWND edit) {
  auto previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchedEditProc)));
  if (previous != WatchedEditProc) editProcedure = previous;
}

}  // namespace zentrova::win32
