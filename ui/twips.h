// Layout units: the table is in twips (1440 to the inch); a screen has pixels at some DPI.
#pragma once

#include <cmath>

namespace zentrova::ui {

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kStandardDpi = 96;  // 15 twips to the pixel

// Returns `twips` in pixels at `dpi` dots per inch, rounded to the nearest pixel.
inline int ToPixels(int twips, int dpi = kStandardDpi) {
  return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / kTwipsPerInch));
}

}  // namespace zentrova::ui
