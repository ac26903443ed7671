// Text boxes that stop wrapping for long paragraphs, against the real EDIT control: which texts
// count as too long, and a box recreated in its place keeps what the window relies on.
#include "win32/text_box_wrap.h"

#include <gtest/gtest.h>

#include <string>

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
      {"two paragraphs at the limit, LF", Letters(limit) + L"\n" + Letters(limit), false},
      {"a lone CR breaks no paragraph", Letters(limit) + L"\r" + Letters(limit), true},
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
  for (const auto& row : rows) EXPECT_EQ(HoldsLongParagraph(row.text), row.isLong) << row.what;
}

class RecreatedEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_ = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                              nullptr, nullptr, nullptr);
    ASSERT_NE(parent_, nullptr);
    before_ = Child(L"before", 1);
    edit_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE,
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

}  // namespace
}  // namespace zentrova::win32
