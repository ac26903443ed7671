// Whether a text box wraps its lines. Wine's EDIT control lays out a wrapped paragraph by
// measuring all that is left of the paragraph once for every row it makes, so a link of one
// megabyte keeps the window busy for minutes; unwrapped, it measures a paragraph once. A text
// box therefore stops wrapping while it holds a paragraph too long to wrap quickly. Such a
// paragraph is in practice one unbroken link, which wrapping could only cut anywhere.
//
// An EDIT control decides whether it wraps when it is made, so switching means replacing the
// box by a new one; the new one keeps what the user had in the old: text, selection and its
// direction, the first visible line, and the undo of the last edit.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string_view>

namespace zentrova::win32 {

// The longest paragraph (characters between line breaks) a box still wraps: Wine lays it out
// in a few tens of milliseconds.
inline constexpr std::size_t kLongestWrappedParagraph = 4096;

// Measures paragraphs as a Windows EDIT control breaks lines: only CR LF ends a paragraph, and
// neither of the two counts toward it; a lone CR or LF is a character like any other. A text
// may be fed in pieces, as if they were joined.
class ParagraphMeter {
 public:
  void Feed(std::wstring_view text);
  // Whether a paragraph longer than kLongestWrappedParagraph has been seen.
  bool FoundLong() const { return found_; }

 private:
  std::size_t paragraph_ = 0;
  bool afterCr_ = false;
  bool found_ = false;
};

// True when `text` holds a paragraph longer than kLongestWrappedParagraph.
bool HoldsLongParagraph(std::wstring_view text);

// Whether the EDIT control `edit` wraps its lines.
bool Wraps(HWND edit);

// Replaces the EDIT control `edit` by one that wraps its lines or not, in its place: the same
// parent, id, position, stacking (and so tab) order, styles, font, length limit, text,
// selection with its direction, first visible line, focus, and the undo of the last edit.
// Destroys `edit` and returns the new control, or returns nullptr and leaves `edit` as it was
// when the new one cannot be made.
HWND RecreateEdit(HWND edit, bool wrap);

// Undoes the last edit of a box whose undo was carried over from the box it replaced, where
// the box itself could not take it (text_box_wrap.cpp): the box is replaced by one that holds
// the text before the edit, wrapped as that text needs, whose own undo redoes the edit.
// Returns the new box, or nullptr when there is nothing to undo or no new box can be made.
HWND UndoCarriedEdit(HWND edit);

// Posted to a text box's parent when the box may need replacing: lParam is the box, wParam
// kThenPaste when the box has held back a paste that would give it a paragraph too long to
// wrap, which it takes once it is unwrapped, kThenUndo when it was asked to undo an edit
// carried over from the box it replaced, and 0 when it was edited. The box is replaced from the
// parent's message loop, never inside one of its own messages.
inline constexpr UINT kRewrapMessage = WM_APP + 1;
inline constexpr WPARAM kThenPaste = 1;
inline constexpr WPARAM kThenUndo = 2;

// Makes `edit` hold back such pastes and carried undos and post kRewrapMessage instead.
void WatchTextBox(HWND edit);

}  // namespace zentrova::win32
