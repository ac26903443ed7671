// Pixels from the layout table's twips, at the standard DPI and on screens scaled above it.
#include "ui/layout.h"

#include <gtest/gtest.h>

#include "ui/twips.h"

namespace zentrova::ui {
namespace {

TEST(TwipsTest, ScaleWithTheDpiAndRoundToTheNearestPixel) {
  const struct {
    int twips, dpi, pixels;
  } rows[] = {
      {8415, 96, 561},  {4365, 96, 291},  {15, 96, 1},      {7, 96, 0},     {8, 96, 1},
      {8415, 120, 701}, {4365, 120, 364}, {8415, 144, 842}, {240, 144, 24}, {0, 144, 0},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ToPixels(row.twips, row.dpi), row.pixels) << row.twips << " at " << row.dpi;
  }
}

TEST(TwipsTest, TheWindowIs561By291AtStandardDpi) {
  EXPECT_EQ(ToPixels(MainWindow().clientWidth), 561);
  EXPECT_EQ(ToPixels(MainWindow().clientHeight), 291);
}

}  // namespace
}  // namespace zentrova::ui
