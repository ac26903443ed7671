// The main window's layout as data: every control with its kind, text, place, size (twips),
// tab index, font, colours and picture. Nothing else decides where or how a control appears.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zentrova::ui {

enum class ControlKind { kButton, kPictureBox, kLabel, kTextBox, kImage, kLine, kShape };

struct FontEntry {
  std::string_view family;
  double pointSize;
  int weight;  // 400 normal, 700 bold
};

inline constexpr std::uint32_t Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
}

struct ControlEntry {
  std::string_view name;  // the control's name, with its index for members of an array
  ControlKind kind;
  std::u16string text;
  // Left and top from the container's top-left corner. A line runs from (left, top) to
  // (left + width, top + height).
  int left, top, width, height;
  std::optional<int> tabIndex = {};             // none: the control cannot be in the tab order
  std::string_view container = {};              // empty: the window itself
  std::optional<FontEntry> font = {};           // none: the window's font
  std::optional<std::uint32_t> foreColor = {};  // text colour; a line's or rectangle's border
  std::optional<std::uint32_t> backColor = {};  // none: transparent or the platform's
  std::string_view picture = {};                // name of the icon an image shows ("thunder")
  bool autoSize = false;                        // a label that grows to fit its text
};

struct WindowEntry {
  std::string_view name;
  std::u16string caption;
  int clientWidth, clientHeight;  // twips
  FontEntry font;
};

// Returns the window's own properties.
const WindowEntry& MainWindow();

// Returns the 22 controls of the main window in creation order.
std::span<const ControlEntry> MainWindowControls();

// Returns the control named `name` ("cmdExit", "LabMainSet(3)"), or nullptr.
const ControlEntry* FindControl(std::string_view name);

}  // namespace zentrova::ui
