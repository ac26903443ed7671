#include "ui/accessible_names.h"

#include <algorithm>

namespace zentrova::ui {
namespace {

bool Encloses(const ControlEntry& frame, const ControlEntry& control) {
  return frame.left <= control.left && frame.top <= control.top &&
         control.left + control.width <= frame.left + frame.width &&
         control.top + control.height <= frame.top + frame.height;
}

// The frame's title is the label that covers its top strip: it starts at the frame's corner.
const ControlEntry* TitleOfFrameAround(const ControlEntry& control) {
  const auto controls = MainWindowControls();
  for (const ControlEntry& frame : controls) {
    if (frame.kind != ControlKind::kShape || !Encloses(frame, control)) continue;
    for (const ControlEntry& title : controls) {
      if (title.kind == ControlKind::kLabel && title.container.empty() &&
          title.left == frame.left && title.top == frame.top) {
        return &title;
      }
    }
  }
  return nullptr;
}

std::u16string WithoutMarks(std::u16string_view title) {
  const auto mark = [](char16_t c) { return c == u' ' || c == u'×'; };
  const auto first = std::find_if_not(title.begin(), title.end(), mark);
  const auto last = std::find_if_not(title.rbegin(), title.rend(), mark).base();
  return first < last ? std::u16string(first, last) : std::u16string();
}

}  // namespace

std::u16string AccessibleName(const ControlEntry& entry) {
  switch (entry.kind) {
    case ControlKind::kButton: {
      std::u16string name = entry.text;
      std::erase(name, u'&');
      return name;
    }
    case ControlKind::kTextBox: {
      const ControlEntry* title = TitleOfFrameAround(entry);
      return title ? WithoutMarks(title->text) : std::u16string();
    }
    default:
      return {};
  }
}

char16_t AccessKey(const ControlEntry& entry) {
  if (entry.kind != ControlKind::kButton) return 0;
  const std::size_t mark = entry.text.find(u'&');
  if (mark == std::u16string::npos || mark + 1 == entry.text.size()) return 0;
  const char16_t key = entry.text[mark + 1];
  return key >= u'a' && key <= u'z' ? static_cast<char16_t>(key - u'a' + u'A') : key;
}

}  // namespace zentrova::ui
