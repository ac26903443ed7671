// Builds the main window's controls on Win32 from the layout table, and gives them the look the
// table asks for: fonts, colours, icons, the frames and the divider painted on the window face.
#pragma once

#include <windows.h>

#include <map>
#include <string_view>
#include <vector>

#include "ui/colors.h"
#include "ui/layout.h"

namespace zentrova::win32 {

class FrmMainControls {
 public:
  FrmMainControls() = default;
  ~FrmMainControls();
  FrmMainControls(const FrmMainControls&) = delete;
  FrmMainControls& operator=(const FrmMainControls&) = delete;

  // Creates every control of the table on `window` at `dpi` dots per inch, in creation order,
  // then puts the ones that take the focus into the tab order by their tab index.
  void Build(HWND window, HINSTANCE instance, int dpi);

  // Returns the control named `name` ("TxtRes", "LabMainSet(3)"), or nullptr.
  HWND Find(std::string_view name) const;
  // Returns the button whose access key is `key` (upper case), or nullptr.
  HWND WithAccessKey(char16_t key) const;
  // Returns the table's entry for `control`, or nullptr when it is none of ours.
  const ui::ControlEntry* EntryOf(HWND control) const;
  // Replaces the text box `textBox` by one that wraps its lines or not (see text_box_wrap.h)
  // and returns it; the name finds the new box from then on. Returns nullptr, leaving the box
  // as it was, when the new one cannot be made.
  HWND Rewrap(HWND textBox, bool wrap);
  // Makes the text box `textBox` wrap exactly when `text` holds no paragraph too long to wrap,
  // replacing it when it does not already; returns the box that then stands there, or nullptr
  // when a new one cannot be made.
  HWND FitWrapping(HWND textBox, std::wstring_view text);
  // The answer to kRewrapMessage: a box that held back a paste is unwrapped and takes it; one
  // that was asked to undo a carried edit is replaced by one that has undone it; any other is
  // fitted to its own text. A box already replaced is left.
  void OnRewrapMessage(HWND textBox, WPARAM then);
  // The window's font, Tahoma 8.25 pt at the window's DPI.
  HFONT WindowFont() const { return windowFont_; }

  // The answer to WM_CTLCOLORSTATIC for `control` (a label, an image or the banner): its text
  // colour and background, the system's under a high-contrast theme (ui/colors.h). Labels
  // without a background of their own let what is behind them show through.
  HBRUSH ColorStatic(HDC dc, HWND control);
  // Paints the frames and the divider, which are drawn on the window's face, not windows.
  void PaintGraphics(HDC dc) const;

 private:
  HFONT FontFor(const ui::FontEntry& font);
  HBRUSH BrushFor(const ui::Color& color);
  // Stacks the controls that take the focus by tab index, each text box after a hidden label
  // that names it for screen readers.
  void StackByTabIndex(HWND window, HINSTANCE instance);
  // Puts `fresh` in the place of the text box `replaced` in the lookups, if it was made.
  HWND Replaced(HWND replaced, HWND fresh);

  int dpi_ = 96;
  HFONT windowFont_ = nullptr;
  std::vector<std::pair<ui::FontEntry, HFONT>> fonts_;
  std::map<std::uint32_t, HBRUSH> brushes_;
  std::vector<HICON> icons_;
  std::map<std::string_view, HWND> byName_;
  std::map<HWND, const ui::ControlEntry*> byWindow_;
};

// The class name of the banner's picture box, which paints its own colour.
inline constexpr wchar_t kPictureBoxClass[] = L"ZentrovaPictureBox";

}  // namespace zentrova::win32
