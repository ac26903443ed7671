#include "win32/frm_main_controls.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "resources/zentrova_ids.h"
#include "ui/twips.h"
#include "win32/text_box_wrap.h"
#include "win32/win32_text.h"

namespace zentrova::win32 {
namespace {

constexpr int kFirstControlId = 1000;  // clear of IDOK and IDCANCEL, which the dialog manager sends

COLORREF ToColorRef(std::uint32_t rgb) {
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

int IconFor(std::string_view picture) {
  if (picture == "flashget") return IDI_FLASHGET;
  if (picture == "thunder") return IDI_THUNDER;
  if (picture == "qqdl") return IDI_QQDL;
  if (picture == "decode") return IDI_DECODE;
  throw std::logic_error("no icon for a picture of the layout");
}

bool TakesFocus(ui::ControlKind kind) {
  return kind == ui::ControlKind::kButton || kind == ui::ControlKind::kTextBox;
}

// The banner paints itself in its colour, kept in its user data, and passes its label's colour
// questions up to the window, which knows every control.
LRESULT CALLBACK PictureBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: {
      RECT area;
      GetClientRect(box, &area);
      HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrW(box, GWLP_USERDATA)));
      FillRect(reinterpret_cast<HDC>(wParam), &area, brush);
      DeleteObject(brush);
      return 1;
    }
    case WM_CTLCOLORSTATIC:
      return SendMessageW(GetParent(box), message, wParam, lParam);
    default:
      return DefWindowProcW(box, message, wParam, lParam);
  }
}

void RegisterPictureBox(HINSTANCE instance) {
  WNDCLASSEXW cls{};
  if (GetClassInfoExW(instance, kPictureBoxClass, &cls)) return;
  cls.cbSize = sizeof cls;
  cls.lpfnWndProc = PictureBoxProc;
  cls.hInstance = instance;
  cls.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  cls.lpszClassName = kPictureBoxClass;
  if (!RegisterClassExW(&cls))
    throw std::runtime_error("the picture box class cannot be registered");
}

struct WindowKind {
  const wchar_t* cls;
  DWORD style;
  DWORD exStyle;
};

WindowKind KindOf(const ui::ControlEntry& entry) {
  switch (entry.kind) {
    case ui::ControlKind::kButton:
      return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case ui::ControlKind::kTextBox:
      // Multi-line and word-wrapping, without scroll bars; Enter starts a new line.
      return {L"EDIT", ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | ES_LEFT | WS_TABSTOP,
              WS_EX_CLIENTEDGE};
    case ui::ControlKind::kPictureBox:
      // It paints under its label, which is transparent and draws over it.
      return {kPictureBoxClass, 0, 0};
    case ui::ControlKind::kLabel:
      return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0};
    case ui::ControlKind::kImage:
      return {L"STATIC", SS_ICON | SS_REALSIZECONTROL, 0};
    case ui::ControlKind::kLine:
    case ui::ControlKind::kShape:
      break;
  }
  return {nullptr, 0, 0};
}

}  // namespace

FrmMainControls::~FrmMainControls() {
  for (auto& [entry, font] : fonts_) DeleteObject(font);
  for (auto& [rgb, brush] : brushes_) DeleteObject(brush);
  for (HICON icon : icons_) DestroyIcon(icon);
}

HFONT FrmMainControls::FontFor(const ui::FontEntry& font) {
  for (const auto& [entry, made] : fonts_) {
    if (entry.family == font.family && entry.pointSize == font.pointSize &&
        entry.weight == font.weight) {
      return made;
    }
  }
  const std::wstring family(font.family.begin(), font.family.end());
  // Character set 0 as the layout gives it; the system's font linking supplies the Chinese.
  HFONT made = CreateFontW(-static_cast<int>(std::lround(font.pointSize * dpi_ / 72.0)), 0, 0, 0,
                           font.weight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                           family.c_str());
  if (!made) throw std::runtime_error("the window's font cannot be made");
  fonts_.emplace_back(font, made);
  return made;
}

HBRUSH FrmMainControls::SolidBrush(std::uint32_t rgb) {
  auto found = brushes_.find(rgb);
  if (found != brushes_.end()) return found->second;
  HBRUSH brush = CreateSolidBrush(ToColorRef(rgb));
  brushes_.emplace(rgb, brush);
  return brush;
}

void FrmMainControls::Build(HWND window, HINSTANCE instance, int dpi) {
  dpi_ = dpi;
  RegisterPictureBox(instance);
  windowFont_ = FontFor(ui::MainWindow().font);
  auto px = [dpi](int twips) { return ui::ToPixels(twips, dpi); };

  int id = kFirstControlId;
  for (const ui::ControlEntry& entry : ui::MainWindowControls()) {
    const WindowKind kind = KindOf(entry);
    if (!kind.cls) continue;  // drawn on the window's face
    HWND parent = entry.container.empty() ? window : byName_.at(entry.container);
    HWND control = CreateWindowExW(
        kind.exStyle, kind.cls, ToWide(entry.text).c_str(), WS_CHILD | WS_VISIBLE | kind.style,
        px(entry.left), px(entry.top), px(entry.width), px(entry.height), parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)), instance, nullptr);
    if (!control) throw std::runtime_error("a control of the window cannot be created");
    byName_.emplace(entry.name, control);
    byWindow_.emplace(control, &entry);

    HFONT font = entry.font ? FontFor(*entry.font) : windowFont_;
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (entry.kind == ui::ControlKind::kTextBox) {
      // Pasted links can be long; an EDIT otherwise stops taking typed or pasted text at 30000.
      SendMessageW(control, EM_SETLIMITTEXT, 0, 0);
      WatchPastes(control);
    }
    if (entry.kind == ui::ControlKind::kPictureBox) {
      SetWindowLongPtrW(control, GWLP_USERDATA, ToColorRef(entry.backColor.value_or(0)));
    }
    if (entry.kind == ui::ControlKind::kImage) {
      // The icon at its natural 16 x 16, whatever the DPI, as the image control shows it.
      auto icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IconFor(entry.picture)),
                                                IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
      if (!icon) throw std::runtime_error("a button's icon cannot be loaded");
      icons_.push_back(icon);
      SendMessageW(control, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    }
    if (entry.autoSize) {
      HDC dc = GetDC(control);
      HGDIOBJ old = SelectObject(dc, font);
      const std::wstring text = ToWide(entry.text);
      SIZE extent{};
      GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
      SelectObject(dc, old);
      ReleaseDC(control, dc);
      SetWindowPos(control, nullptr, 0, 0, extent.cx, extent.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }

  // Windows tabs through sibling windows in their stacking order, so they are stacked by tab
  // index; nothing in the layout that takes the focus overlaps another window.
  std::vector<std::pair<int, HWND>> tabOrder;
  for (const auto& [control, entry] : byWindow_) {
    if (TakesFocus(entry->kind)) tabOrder.emplace_back(entry->tabIndex.value_or(0), control);
  }
  std::sort(tabOrder.begin(), tabOrder.end());
  HWND previous = HWND_TOP;
  for (const auto& [index, control] : tabOrder) {
    SetWindowPos(control, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    previous = control;
  }
}

HWND FrmMainControls::Find(std::string_view name) const {
  auto found = byName_.find(name);
  return found == byName_.end() ? nullptr : found->second;
}

HWND FrmMainControls::Rewrap(HWND textBox, bool wrap) {
  auto found = byWindow_.find(textBox);
  if (found == byWindow_.end()) return nullptr;
  const ui::ControlEntry* entry = found->second;
  HWND fresh = RecreateEdit(textBox, wrap);
  if (!fresh) return nullptr;
  byWindow_.erase(found);
  byWindow_.emplace(fresh, entry);
  byName_[entry->name] = fresh;
  return fresh;
}

HWND FrmMainControls::FitWrapping(HWND textBox, std::wstring_view text) {
  const bool wrap = !HoldsLongParagraph(text);
  return Wraps(textBox) == wrap ? textBox : Rewrap(textBox, wrap);
}

void FrmMainControls::OnRewrapMessage(HWND textBox, WPARAM then) {
  if (!byWindow_.contains(textBox)) return;
  if (then == kThenPaste) {
    // A box that cannot be replaced would only hold the paste back again: it is dropped.
    HWND fresh = Wraps(textBox) ? Rewrap(textBox, false) : textBox;
    if (fresh) SendMessageW(fresh, WM_PASTE, 0, 0);
  } else {
    FitWrapping(textBox, WindowText(textBox));
  }
}

const ui::ControlEntry* FrmMainControls::EntryOf(HWND control) const {
  auto found = byWindow_.find(control);
  return found == byWindow_.end() ? nullptr : found->second;
}

HBRUSH FrmMainControls::ColorStatic(HDC dc, HWND control) {
  const ui::ControlEntry* entry = EntryOf(control);
  if (entry && entry->foreColor) SetTextColor(dc, ToColorRef(*entry->foreColor));
  if (entry && entry->backColor) {
    SetBkColor(dc, ToColorRef(*entry->backColor));
    return SolidBrush(*entry->backColor);
  }
  // Transparent: the parent has painted what lies behind, and the text never changes.
  SetBkMode(dc, TRANSPARENT);
  if (entry && entry->kind == ui::ControlKind::kImage) return GetSysColorBrush(COLOR_BTNFACE);
  return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

void FrmMainControls::PaintGraphics(HDC dc) const {
  auto px = [this](int twips) { return ui::ToPixels(twips, dpi_); };
  for (const ui::ControlEntry& entry : ui::MainWindowControls()) {
    if (entry.kind != ui::ControlKind::kShape && entry.kind != ui::ControlKind::kLine) continue;
    HPEN pen = CreatePen(PS_SOLID, 1, ToColorRef(entry.foreColor.value_or(0)));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    const int left = px(entry.left), top = px(entry.top);
    if (entry.kind == ui::ControlKind::kShape) {
      Rectangle(dc, left, top, left + px(entry.width), top + px(entry.height));
    } else {
      // LineTo leaves out the last point; the line includes both ends.
      MoveToEx(dc, left, top, nullptr);
      LineTo(dc, left + px(entry.width) + 1, top + px(entry.height));
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
  }
}

}  // namespace zentrova::win32
