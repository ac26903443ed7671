#include "win32/text_box_wrap.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "ui/handler_guard.h"
#include "win32/win32_text.h"

namespace zentrova::win32 {
namespace {

// Every text box is an EDIT, so one class procedure stands behind all the watched ones.
WNDPROC editProcedure = nullptr;

// The undo a box carries over from the box it replaced, when it could not take it as its own:
// the text before the last edit. It is a window property owning a heap string, so it goes with
// the box.
constexpr wchar_t kCarriedUndo[] = L"Zentrova.CarriedUndo";

void DropCarriedUndo(HWND edit) {
  std::unique_ptr<std::wstring>(static_cast<std::wstring*>(RemovePropW(edit, kCarriedUndo)));
}

void CarryUndo(HWND edit, std::wstring text) {
  DropCarriedUndo(edit);
  auto owned = std::make_unique<std::wstring>(std::move(text));
  if (SetPropW(edit, kCarriedUndo, owned.get())) owned.release();
}

// The carried undo, while the user has not edited the box since it was made.
const std::wstring* CarriedUndo(HWND edit) {
  if (SendMessageW(edit, EM_GETMODIFY, 0, 0)) return nullptr;
  return static_cast<const std::wstring*>(GetPropW(edit, kCarriedUndo));
}

std::pair<DWORD, DWORD> Selection(HWND edit) {
  DWORD start = 0, end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {start, end};
}

// Where `after` differs from `before`: the common prefix's length, then how much of `before`
// and of `after` stands between it and the common suffix.
struct Difference {
  std::size_t at, removed, inserted;
};
Difference Compare(std::wstring_view before, std::wstring_view after) {
  const std::size_t shorter = std::min(before.size(), after.size());
  std::size_t prefix = 0;
  while (prefix < shorter && before[prefix] == after[prefix]) ++prefix;
  std::size_t suffix = 0;
  while (suffix < shorter - prefix &&
         before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
    ++suffix;
  }
  return {prefix, before.size() - prefix - suffix, after.size() - prefix - suffix};
}

LRESULT CALLBACK WatchedEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);

// What a replaced box hands on to the one that replaces it.
struct EditState {
  std::wstring text;
  std::optional<std::wstring> undo;  // the text that an undo brings back
  DWORD anchor = 0, caret = 0;       // the selection; the caret is its moving end
  DWORD firstVisible = 0;            // the first character of the top visible line
};

// The selection with its direction. EM_GETSEL gives it in order; the caret, which Windows
// keeps only for the focused box, tells which end moves.
void ReadSelection(HWND edit, EditState& state) {
  const auto [start, end] = Selection(edit);
  state.anchor = start;
  state.caret = end;
  POINT caret{};
  if (start == end || GetFocus() != edit || !GetCaretPos(&caret)) return;
  const LRESULT at = SendMessageW(edit, EM_POSFROMCHAR, start, 0);
  if (at != -1 && static_cast<short>(LOWORD(at)) == caret.x &&
      static_cast<short>(HIWORD(at)) == caret.y) {
    std::swap(state.anchor, state.caret);
  }
}

// The first character of the box's top visible line, at most `limit`.
DWORD FirstVisibleCharacter(HWND edit, std::size_t limit) {
  const LRESULT top = SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
  const LRESULT first = std::max<LRESULT>(0, SendMessageW(edit, EM_LINEINDEX, top, 0));
  return static_cast<DWORD>(std::min<LRESULT>(first, static_cast<LRESULT>(limit)));
}

EditState Capture(HWND edit) {
  EditState state;
  state.text = WindowText(edit);
  ReadSelection(edit, state);
  state.firstVisible = FirstVisibleCharacter(edit, state.text.size());
  if (const std::wstring* carried = CarriedUndo(edit)) {
    state.undo = *carried;
  } else if (SendMessageW(edit, EM_CANUNDO, 0, 0) && SendMessageW(edit, EM_UNDO, 0, 0)) {
    // The old box is destroyed next, so its own undo may be spent to learn what it brings back.
    state.undo = WindowText(edit);
  }
  return state;
}

// Gives `fresh` the state of the box it replaces. The undo becomes the box's own where that is
// quick: the box is given the text before the edit, and the edit is made again as an undoable
// replacement. A wrapping box given a text with a paragraph too long to wrap would take minutes
// to lay it out, so there the undo is only carried, and answered by replacing the box again.
void Restore(HWND fresh, const EditState& state, bool wrap) {
  if (state.undo && !(wrap && HoldsLongParagraph(*state.undo))) {
    SetWindowTextW(fresh, state.undo->c_str());
    const Difference change = Compare(*state.undo, state.text);
    SendMessageW(fresh, EM_SETSEL, change.at, change.at + change.removed);
    const std::wstring inserted = state.text.substr(change.at, change.inserted);
    SendMessageW(fresh, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(inserted.c_str()));
  } else {
    SetWindowTextW(fresh, state.text.c_str());
    if (state.undo) CarryUndo(fresh, *state.undo);
  }
  SendMessageW(fresh, EM_SETMODIFY, FALSE, 0);
  // The first visible character in view (horizontally too, for an unwrapped box), then back at
  // the top, then the selection as it was.
  SendMessageW(fresh, EM_SETSEL, state.firstVisible, state.firstVisible);
  SendMessageW(fresh, EM_SCROLLCARET, 0, 0);
  const LRESULT line = SendMessageW(fresh, EM_LINEFROMCHAR, state.firstVisible, 0);
  SendMessageW(fresh, EM_LINESCROLL, 0, line - SendMessageW(fresh, EM_GETFIRSTVISIBLELINE, 0, 0));
  SendMessageW(fresh, EM_SETSEL, state.anchor, state.caret);
}

HWND Replace(HWND edit, bool wrap, const EditState& state) {
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
  Restore(fresh, state, wrap);
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(edit, GWLP_WNDPROC)) == WatchedEditProc) {
    WatchTextBox(fresh);
  }
  // Stacked straight after the old box, the new one keeps its place in the tab order.
  SetWindowPos(fresh, edit, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (GetFocus() == edit) SetFocus(fresh);
  DestroyWindow(edit);
  return fresh;
}

// Whether pasting the clipboard over the selection would leave a paragraph too long to wrap.
// The clipboard's text is measured where it lies, and nothing is joined.
bool PasteMakesLongParagraph(HWND edit) {
  if (!OpenClipboard(edit)) return false;  // another program holds it: the paste will find out
  struct Closer {
    ~Closer() { CloseClipboard(); }
  } closer;
  const LockedClipboardText pasted;
  if (pasted.text().empty()) return false;
  const std::wstring text = WindowText(edit);
  const std::wstring_view whole = text;
  auto [start, end] = Selection(edit);
  start = std::min<DWORD>(start, static_cast<DWORD>(whole.size()));
  end = std::clamp<DWORD>(end, start, static_cast<DWORD>(whole.size()));
  ParagraphMeter meter;
  meter.Feed(whole.substr(0, start));
  meter.Feed(pasted.text());
  meter.Feed(whole.substr(end));
  return meter.FoundLong();
}

bool AskParent(HWND edit, WPARAM then) {
  return PostMessageW(GetParent(edit), kRewrapMessage, then, reinterpret_cast<LPARAM>(edit));
}

// The watched box's own answer to `message`, or none where the EDIT's is wanted.
std::optional<LRESULT> Answer(HWND edit, UINT message, WPARAM wParam) {
  switch (message) {
    case WM_PASTE:
      if (Wraps(edit) && PasteMakesLongParagraph(edit) && AskParent(edit, kThenPaste)) return 0;
      return std::nullopt;
    case WM_CHAR:  // Ctrl+Z
      if (wParam != 0x1A) return std::nullopt;
      [[fallthrough]];
    case WM_UNDO:
    case EM_UNDO:
      if (CarriedUndo(edit) && AskParent(edit, kThenUndo)) return TRUE;
      return std::nullopt;
    case EM_CANUNDO:
      if (CarriedUndo(edit)) return TRUE;
      return std::nullopt;
    case WM_SETTEXT:  // a new text is no edit of the old one
    case WM_NCDESTROY:
      DropCarriedUndo(edit);
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

LRESULT CALLBACK WatchedEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  // A failure of our own (memory for a copy of the text) must not unwind through the system's
  // frames; the EDIT then simply does what it would have done unwatched.
  std::optional<LRESULT> answer;
  ui::RunGuarded([&] { answer = Answer(edit, message, wParam); });
  if (answer) return *answer;
  return CallWindowProcW(editProcedure, edit, message, wParam, lParam);
}

}  // namespace

void ParagraphMeter::Feed(std::wstring_view text) {
  for (const wchar_t unit : text) {
    if (afterCr_) {
      afterCr_ = false;
      if (unit == L'\n') {
        paragraph_ = 0;
        continue;
      }
      ++paragraph_;  // the CR was a character after all
    }
    if (unit == L'\r') {
      afterCr_ = true;
    } else {
      ++paragraph_;
    }
    if (paragraph_ > kLongestWrappedParagraph) found_ = true;
  }
}

bool HoldsLongParagraph(std::wstring_view text) {
  ParagraphMeter meter;
  meter.Feed(text);
  return meter.FoundLong();
}

bool Wraps(HWND edit) { return !(GetWindowLongPtrW(edit, GWL_STYLE) & ES_AUTOHSCROLL); }

HWND RecreateEdit(HWND edit, bool wrap) {
  EditState state = Capture(edit);
  HWND fresh = Replace(edit, wrap, state);
  if (!fresh && state.undo) {
    // The old box stays; its undo was spent to read it, so the text it had goes back.
    SetWindowTextW(edit, state.text.c_str());
    CarryUndo(edit, *state.undo);
  }
  return fresh;
}

HWND UndoCarriedEdit(HWND edit) {
  const std::wstring* carried = CarriedUndo(edit);
  if (!carried) return nullptr;
  EditState state;
  state.text = *carried;
  state.undo = WindowText(edit);
  // As an EDIT's own undo does, the text it brings back is selected.
  const Difference change = Compare(*state.undo, state.text);
  state.anchor = static_cast<DWORD>(change.at);
  state.caret = static_cast<DWORD>(change.at + change.inserted);
  state.firstVisible = FirstVisibleCharacter(edit, state.text.size());
  return Replace(edit, !HoldsLongParagraph(state.text), state);
}

void WatchTextBox(HWND edit) {
  auto previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchedEditProc)));
  if (previous != WatchedEditProc) editProcedure = previous;
}

}  // namespace zentrova::win32
