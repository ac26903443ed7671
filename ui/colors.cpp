#include "ui/colors.h"

namespace zentrova::ui {

ControlColors ColorsOf(const ControlEntry& entry, bool systemColors) {
  if (!systemColors) return {entry.foreColor, entry.backColor};
  switch (entry.kind) {
    case ControlKind::kPictureBox:
      // The banner stays a band of its own colour, and its label readable on it.
      return {{}, SystemColor::kHighlight};
    case ControlKind::kLabel:
      if (!entry.container.empty()) return {SystemColor::kHighlightText, {}};
      return {SystemColor::kText,
              entry.backColor ? std::optional<Color>(SystemColor::kFace) : std::nullopt};
    case ControlKind::kShape:
    case ControlKind::kLine:
      return {SystemColor::kText, {}};
    default:
      return {};
  }
}

bool FaceHidesLayoutColors(std::uint32_t faceRgb) {
  const int r = (faceRgb >> 16) & 0xFF, g = (faceRgb >> 8) & 0xFF, b = faceRgb & 0xFF;
  // Rec. 601 luma, which is what "dark" means to a reader's eye closely enough here.
  const int luma = (299 * r + 587 * g + 114 * b) / 1000;
  return luma < 128 || (r >= 0xF8 && g >= 0xF8 && b >= 0xF8);
}

}  // namespace zentrova::ui
