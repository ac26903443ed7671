// The colours a control is painted in. The layout's own colours assume the light grey face of
// a standard desktop; under a high-contrast (or dark, or white) scheme the dark-red note, the
// white frame and the white line would vanish against the face, so there every coloured
// control takes one of the system's colours instead.
#pragma once

#include <cstdint>
#include <optional>
#include <variant>

#include "ui/layout.h"

namespace zentrova::ui {

// The system colours a control may take, each named for its use: every toolkit has them.
enum class SystemColor {
  kText,           // text on the window's face
  kFace,           // the window's face
  kHighlight,      // a highlighted area
  kHighlightText,  // text on a highlighted area
};

using Color = std::variant<std::uint32_t, SystemColor>;  // RGB, as in the layout, or the system's

struct ControlColors {
  std::optional<Color> fore;  // none: the platform's own
  std::optional<Color> back;  // none: transparent or the platform's
};

// The colours of `entry`: the layout's, or the system's when `systemColors` is set.
ControlColors ColorsOf(const ControlEntry& entry, bool systemColors);

// Whether the layout's colours would vanish against a face of `faceRgb`: a dark face hides the
// dark-red note, a white one the white frame and line.
bool FaceHidesLayoutColors(std::uint32_t faceRgb);

}  // namespace zentrova::ui
