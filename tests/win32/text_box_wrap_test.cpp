// Text boxes that stop wrapping for long paragraphs, against the real EDIT control: which texts
// count as too long, and a box recreated in its place keeps what the window relies on.
#include "win32/text_box_wrap.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "win32/win32_text.h"

namespace zentrova::win32 {
namespace {

std::wstring Letters(std::size_t length, wchar_t unit = L'x') { return std::wstring(length, unit); }

TEST(TextBoxWrapTest, ParagraphsLongerThanTheLimitAreFound) {
  const std::size_t limit = kLongestWrappedParagraph;
  const struct {
    const char* what;
    std::wstring text;
    bool isLong;
  } rows[] = {
      {"empty", L"", false},
      {"at the limit", Letters(limit), false},
      {"one over", Letters(limit + 1), true},
      {"two paragraphs at the limit, CR LF", Letters(limit) + L"\r\n" + Letters(limit), false},
      {"a soft break, CR CR LF", Letters(limit - 1) + L"\r\r\n" + Letters(limit), false},
      {"a lone LF breaks no paragraph", Letters(limit) + L"\n" + Letters(limit), true},
      {"a lone CR breaks no paragraph", Letters(limit) + L"\r" + Letters(limit), true},
      {"a lone LF counts", Letters(limit - 1) + L"\n" + L"x", true},
      {"a lone CR counts", Letters(limit - 1) + L"\r" + L"x", true},
      {"LF CR is no break", Letters(limit - 1) + L"\n\r" + L"x", true},
      {"short LF-only lines make one paragraph",
       [] {
         std::wstring text;
         for (int i = 0; i < 500; ++i) text += L"http://a/b\n";
         return text;
       }(),
       true},
      {"spaces break no paragraph", Letters(limit) + L" " + Letters(limit), true},
      {"a long one after short ones", L"a\r\nb\r\n" + Letters(limit + 1), true},
      {"many short lines",
       [] {
         std::wstring text;
         for (int i = 0; i < 1000; ++i) text += L"http://a/b\r\n";
         return text;
       }(),
       false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(HoldsLongParagraph(row.text), row.isLong) << row.what;
    // Fed in pieces, split anywhere (between a CR and its LF too), the text measures the same.
    for (const std::size_t cut :
         {std::size_t{1}, limit - 1, limit, limit + 1, row.text.size() / 2}) {
      if (cut > row.text.size()) continue;
      ParagraphMeter meter;
      meter.Feed(std::wstring_view(row.text).substr(0, cut));
      meter.Feed(std::wstring_view(row.text).substr(cut));
      EXPECT_EQ(meter.FoundLong(), row.isLong) << row.what << ", cut at " << cut;
    }
  }
}

class RecreatedEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_ = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                              nullptr, nullptr, nullptr);
    ASSERT_NE(parent_, nullptr);
    before_ = Child(L"before", 1);
    // Styled as the window's boxes are: without ES_AUTOVSCROLL an EDIT refuses text that does
    // not fit its height.
    edit_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                            WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                            10, 20, 200, 50, parent_, reinterpret_cast<HMENU>(7), nullptr, nullptr);
    ASSERT_NE(edit_, nullptr);
    after_ = Child(L"after", 2);
    SetWindowPos(before_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(edit_, before_, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(after_, edit_, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(ANSI_VAR_FONT)), 0);
    SendMessageW(edit_, EM_SETLIMITTEXT, 0, 0);
  }
  void TearDown() override { DestroyWindow(parent_); }

  HWND Child(const wchar_t* text, int id) {
    return CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  }

  HWND parent_ = nullptr, before_ = nullptr, edit_ = nullptr, after_ = nullptr;
};

TEST_F(RecreatedEditTest, KeepsItsPlaceTextSelectionAndFontEitherWay) {
  const std::wstring text = L"http://a/b\r\n" + Letters(5000);
  SetWindowTextW(edit_, text.c_str());
  SendMessageW(edit_, EM_SETSEL, 3, 4500);
  for (const bool wrap : {false, true}) {
    SCOPED_TRACE(wrap ? "wrapping again" : "unwrapped");
    HWND fresh = RecreateEdit(edit_, wrap);
    ASSERT_NE(fresh, nullptr);
    EXPECT_FALSE(IsWindow(edit_));
    edit_ = fresh;
    EXPECT_EQ(Wraps(fresh), wrap);
    EXPECT_EQ(GetParent(fresh), parent_);
    EXPECT_EQ(GetDlgCtrlID(fresh), 7);
    EXPECT_EQ(WindowText(fresh), text);
    DWORD start = 0, end = 0;
    SendMessageW(fresh, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 3u);
    EXPECT_EQ(end, 4500u);
    EXPECT_EQ(SendMessageW(fresh, WM_GETFONT, 0, 0),
              reinterpret_cast<LRESULT>(GetStockObject(ANSI_VAR_FONT)));
    EXPECT_GT(static_cast<std::size_t>(SendMessageW(fresh, EM_GETLIMITTEXT, 0, 0)), 30000u);
    EXPECT_TRUE(GetWindowLongPtrW(fresh, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    RECT place{};
    GetWindowRect(fresh, &place);
    MapWindowPoints(nullptr, parent_, reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.left, 10);
    EXPECT_EQ(place.top, 20);
    EXPECT_EQ(place.right - place.left, 200);
    EXPECT_EQ(place.bottom - place.top, 50);
    // The tab order follows the stacking order: between the same two siblings.
    EXPECT_EQ(GetWindow(before_, GW_HWNDNEXT), fresh);
    EXPECT_EQ(GetWindow(fresh, GW_HWNDNEXT), after_);
  }
}

DWORD SelectionStart(HWND edit) {
  DWORD start = 0, end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return start;
}

// An edit as the user makes it: the selection replaced, undoably.
void Edit(HWND edit, DWORD start, DWORD end, const std::wstring& with) {
  SendMessageW(edit, EM_SETSEL, start, end);
  SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(with.c_str()));
}

// The undo a box asks its parent for, answered as the window answers it.
HWND UndoThroughTheParent(HWND parent, HWND edit) {
  SendMessageW(edit, WM_UNDO, 0, 0);
  MSG message;
  if (!PeekMessageW(&message, parent, kRewrapMessage, kRewrapMessage, PM_REMOVE)) return edit;
  EXPECT_EQ(message.wParam, kThenUndo);
  EXPECT_EQ(reinterpret_cast<HWND>(message.lParam), edit);
  return UndoCarriedEdit(edit);
}

TEST_F(RecreatedEditTest, TheLastEditCanStillBeUndoneEitherWay) {
  WatchTextBox(edit_);
  const std::wstring link = L"thunder://" + Letters(20000, L'Q');
  const struct {
    const char* what;
    bool wrapBefore;
    std::wstring before, after;
  } rows[] = {
      // The long link deleted: the box wraps again, and Ctrl+Z brings the link back unwrapped.
      {"a long link deleted", false, link, L""},
      {"a long link cut down", false, link, L"thunder://QQ"},
      // A short text edited in a wrapping box that then stops wrapping.
      {"a short text typed into", true, L"http://a/", L"http://a/b.zip"},
      {"a long text pasted over a short one", true, L"http://a/", link},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    edit_ = RecreateEdit(edit_, row.wrapBefore);
    ASSERT_NE(edit_, nullptr);
    SetWindowTextW(edit_, row.before.c_str());
    std::size_t kept = 0;  // the edit replaces what follows the texts' common start
    while (kept < row.before.size() && kept < row.after.size() &&
           row.before[kept] == row.after[kept]) {
      ++kept;
    }
    Edit(edit_, static_cast<DWORD>(kept), static_cast<DWORD>(row.before.size()),
         row.after.substr(kept));
    ASSERT_EQ(WindowText(edit_), row.after);

    edit_ = RecreateEdit(edit_, !HoldsLongParagraph(row.after));
    ASSERT_NE(edit_, nullptr);
    EXPECT_EQ(WindowText(edit_), row.after);
    EXPECT_TRUE(SendMessageW(edit_, EM_CANUNDO, 0, 0));
    edit_ = UndoThroughTheParent(parent_, edit_);
    ASSERT_NE(edit_, nullptr);
    EXPECT_EQ(WindowText(edit_), row.before);
    // Never a long paragraph in a wrapping box (an unwrapped one with a short text is fitted
    // again by the window when the box reports the change).
    EXPECT_FALSE(Wraps(edit_) && HoldsLongParagraph(row.before));
    // And the undo of the undo redoes the edit, as an EDIT's own undo does.
    edit_ = UndoThroughTheParent(parent_, edit_);
    ASSERT_NE(edit_, nullptr);
    EXPECT_EQ(WindowText(edit_), row.after);
  }
}

TEST_F(RecreatedEditTest, AnEditAfterTheSwitchIsWhatUndoUndoes) {
  WatchTextBox(edit_);
  SetWindowTextW(edit_, (L"thunder://" + Letters(20000, L'Q')).c_str());
  edit_ = RecreateEdit(edit_, false);
  Edit(edit_, 0, 20010, L"");
  edit_ = RecreateEdit(edit_, true);
  Edit(edit_, 0, 0, L"abc");
  SendMessageW(edit_, WM_UNDO, 0, 0);
  MSG message;
  EXPECT_FALSE(PeekMessageW(&message, parent_, kRewrapMessage, kRewrapMessage, PM_REMOVE));
  EXPECT_EQ(WindowText(edit_), L"");
}

TEST_F(RecreatedEditTest, KeepsTheFirstVisibleLineAndTheSelectionsDirection) {
  ShowWindow(parent_, SW_SHOW);
  SetForegroundWindow(parent_);
  std::wstring text;
  for (int i = 0; i < 200; ++i) text += L"line " + std::to_wstring(i) + L"\r\n";
  SetWindowTextW(edit_, text.c_str());
  SetFocus(edit_);
  ASSERT_EQ(GetFocus(), edit_);
  SendMessageW(edit_, EM_LINESCROLL, 0, 40);
  const LRESULT top = SendMessageW(edit_, EM_GETFIRSTVISIBLELINE, 0, 0);
  ASSERT_GT(top, 0);
  const auto lineStart = [&](LRESULT line) {
    return static_cast<DWORD>(SendMessageW(edit_, EM_LINEINDEX, line, 0));
  };
  // Selected backwards, from the end of line top + 2 back to the start of line top + 1: the
  // caret stands at the start.
  const DWORD anchor = lineStart(top + 3) - 2, caret = lineStart(top + 1);
  SendMessageW(edit_, EM_SETSEL, anchor, caret);
  for (const bool wrap : {false, true}) {
    SCOPED_TRACE(wrap ? "wrapping again" : "unwrapped");
    edit_ = RecreateEdit(edit_, wrap);
    ASSERT_NE(edit_, nullptr);
    EXPECT_EQ(GetFocus(), edit_);
    EXPECT_EQ(SendMessageW(edit_, EM_GETFIRSTVISIBLELINE, 0, 0), top);
    EXPECT_EQ(SelectionStart(edit_), caret);
    POINT at{};
    ASSERT_TRUE(GetCaretPos(&at));
    const LRESULT expected = SendMessageW(edit_, EM_POSFROMCHAR, caret, 0);
    EXPECT_EQ(at.x, static_cast<short>(LOWORD(expected)));
    EXPECT_EQ(at.y, static_cast<short>(HIWORD(expected)));
  }
}

}  // namespace
}  // namespace zentrova::win32
