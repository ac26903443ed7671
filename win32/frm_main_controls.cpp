#include "win32/frm_main_controls.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "resources/zentrova_ids.h"
#include "ui/accessible_names.h"
#include "ui/colors.h"
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

bool HighContrast() {
  HIGHCONTRASTW scheme{};
  scheme.cbSize = sizeof scheme;
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof scheme, &scheme, 0) &&
         (scheme.dwFlags & HCF_HIGHCONTRASTON);
}

int SystemColorIndex(ui::SystemColor color) {
  switch (color) {
    case ui::SystemColor::kText:
      return COLOR_BTNTEXT;
    case ui::SystemColor::kFace:
      return COLOR_BTNFACE;
    case ui::SystemColor::kHighlight:
      return COLOR_HIGHLIGHT;
    case ui::SystemColor::kHighlightText:
      return COLOR_HIGHLIGHTTEXT;
  }
  return COLOR_BTNTEXT;
}

COLORREF Resolve(const ui::Color& color) {
  if (const auto* rgb = std::get_if<std::uint32_t>(&color)) return ToColorRef(*rgb);
  return GetSysColor(SystemColorIndex(std::get<ui::SystemColor>(color)));
}

// The banner paints itself in the colour the window gives it, as a static control would ask
// for it, and passes its label's colour questions up to the window, which knows every control.
LRESULT CALLBACK PictureBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: {
      RECT area;
      GetClientRect(box, &area);
      auto brush = reinterpret_cast<HBRUSH>(
          SendMessageW(GetParent(box), WM_CTLCOLORSTATIC, wParam, reinterpret_cast<LPARAM>(box)));
      if (brush) FillRect(reinterpret_cast<HDC>(wParam), &area, brush);
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

HBRUSH FrmMainControls::BrushFor(const ui::Color& color) {
  if (const auto* system = std::get_if<ui::SystemColor>(&color)) {
    return GetSysColorBrush(SystemColorIndex(*system));  // the system's own, never deleted
  }
  const std::uint32_t rgb = std::get<std::uint32_t>(color);
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
      WatchTextBox(control);
    }
    if (entry.kind == ui::ControlKind::kImage) {
      // The 16-pixel icon at the DPI's size: the group holds pictures drawn at 125, 150 and
      // 200 per cent, so the image control need not stretch a small one.
      const int side = px(entry.width);
      auto icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IconFor(entry.picture)),
                                                IMAGE_ICON, side, side, LR_DEFAULTCOLOR));
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

  StackByTabIndex(window, instance);
}

void FrmMainControls::StackByTabIndex(HWND window, HINSTANCE instance) {
  // Windows tabs through sibling windows in their stacking order, so they are stacked by tab
  // index; nothing in the layout that takes the focus overlaps another window.
  std::vector<std::pair<int, HWND>> tabOrder;
  for (const auto& [control, entry] : byWindow_) {
    if (TakesFocus(entry->kind)) tabOrder.emplace_back(entry->tabIndex.value_or(0), control);
  }
  std::sort(tabOrder.begin(), tabOrder.end());
  HWND previous = HWND_TOP;
  for (const auto& [index, control] : tabOrder) {
    const ui::ControlEntry& entry = *byWindow_.at(control);
    if (entry.kind == ui::ControlKind::kTextBox) {
      // A screen reader names an edit control by the static control just before it in the
      // stacking order; the frame's visible title is no sibling of the box there, so a
      // hidden label carries the name.
      HWND name = CreateWindowExW(0, L"STATIC", ToWide(ui::AccessibleName(entry)).c_str(),
                                  WS_CHILD | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0, window, nullptr,
                                  instance, nullptr);
      if (!name) throw std::runtime_error("a text box's name cannot be made");
      SetWindowPos(name, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      previous = name;
    }
    SetWindowPos(control, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    previous = control;
  }
}

HWND FrmMainControls::Find(std::string_view name) const {
  auto found = byName_.find(name);
  return found == byName_.end() ? nullptr : found->second;
}

HWND FrmMainControls::Replaced(HWND replaced, HWND fresh) {
  if (!fresh) return nullptr;
  auto found = byWindow_.find(replaced);
  const ui::ControlEntry* entry = found->second;
  byWindow_.erase(found);
  byWindow_.emplace(fresh, entry);
  byName_[entry->name] = fresh;
  return fresh;
}

HWND FrmMainControls::Rewrap(HWND textBox, bool wrap) {
  if (!byWindow_.contains(textBox)) return nullptr;
  return Replaced(textBox, RecreateEdit(textBox, wrap));
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
  } else if (then == kThenUndo) {
    Replaced(textBox, UndoCarriedEdit(textBox));
  } else {
    FitWrapping(textBox, WindowText(textBox));
  }
}

HWND FrmMainControls::WithAccessKey(char16_t key) const {
  for (const auto& [control, entry] : byWindow_) {
    if (ui::AccessKey(*entry) == key) return control;
  }
  return nullptr;
}

const ui::ControlEntry* FrmMainControls::EntryOf(HWND control) const {
  auto found = byWindow_.find(control);
  return found == byWindow_.end() ? nullptr : found->second;
}

HBRUSH FrmMainControls::ColorStatic(HDC dc, HWND control) {
  const ui::ControlEntry* entry = EntryOf(control);
  const ui::ControlColors colors =
      entry ? ui::ColorsOf(*entry, HighContrast()) : ui::ControlColors{};
  if (colors.fore) SetTextColor(dc, Resolve(*colors.fore));
  if (colors.back) {
    SetBkColor(dc, Resolve(*colors.back));
    return BrushFor(*colors.back);
  }
  // Transparent: the parent has painted what lies behind, and the text never changes.
  SetBkMode(dc, TRANSPARENT);
  if (entry && entry->kind == ui::ControlKind::kImage) return GetSysColorBrush(COLOR_BTNFACE);
  return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

void FrmMainControls::PaintGraphics(HDC dc) const {
  auto px = [this](int twips) { return ui::ToPixels(twips, dpi_); };
  const bool highContrast = HighContrast();
  for (const ui::ControlEntry& entry : ui::MainWindowControls()) {
    if (entry.kind != ui::ControlKind::kShape && entry.kind != ui::ControlKind::kLine) continue;
    const ui::ControlColors colors = ui::ColorsOf(entry, highContrast);
    HPEN pen = CreatePen(PS_SOLID, 1, Resolve(colors.fore.value_or(ui::SystemColor::kText)));
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
