// Whether a text box wraps its lines. Wine's EDIT control lays out a wrapped paragraph by
// measuring all that is left of the paragraph once for every row it makes, so a link of one
// megabyte keeps the window busy for minutes; unwrapped, it measures a paragraph once. A text
// box therefore stops wrapping while it holds a paragraph too long to wrap quickly. Such a
// paragraph is in practice one unbroken link, which wrapping could only cut anywhere.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string_view>

namespace zentrova::win32 {

// The longest paragraph (characters between line breaks) a box still wraps: Wine lays it out
// in a few tens of milliseconds.
inline constexpr std::size_t kLongestWrappedParagraph = 4096;

// True when `text` holds a paragraph longer than kLongestWrappedParagraph.
bool HoldsLongParagraph(std::wstring_view text);

// Whether the EDIT control `edit` wraps its lines.
bool Wraps(HWND edit);

// Replaces the EDIT control `edit` by one that wraps its lines or not, in its place: the same
// parent, id, position, stacking (and so tab) order, font, length limit, text, selection and
// focus. Destroys `edit` and returns the new control, or returns nullptr and leaves `edit` as
// it was when the new one cannot be made.
HWND RecreateEdit(HWND edit, bool wrap);

// Posted to a text box's parent when the box may need rewrapping: lParam is the box, and
// wParam kThenPaste when the box has held back a paste that would give it a paragraph too long
// to wrap, which it takes once it is unwrapped. The box is replaced from the parent's message
// loop, never inside one of its own messages.
inline constexpr UINT kRewrapMessage = WM_APP + 1;
inline constexpr WPARAM kThenPaste = 1;

// Makes `edit` hold back such pastes and post kRewrapMessage instead.
void WatchPastes(HWND edit);

}  // namespace zentrova::win32
