// The common-controls layer on Windows itself: the library and its function are found by
// name, and the platform's last error is what gets stored.
#include "ui/common_controls.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace zentrova {
namespace {

TEST(CommonControlsTest, InitialisesThroughTheFunctionFoundByName) {
  CommonControls controls;
  EXPECT_NO_THROW(controls.InitCommonControls());
  EXPECT_NO_THROW(controls.InitCommonControls());  // the looked-up function is kept
  EXPECT_NE(GetModuleHandleW(L"comctl32.dll"), nullptr);
}

TEST(CommonControlsTest, StoresThePlatformsLastError) {
  CommonControls controls;
  EXPECT_EQ(controls.LastLibraryError(), 0u);
  for (const DWORD code : {DWORD{ERROR_FILE_NOT_FOUND}, DWORD{ERROR_ACCESS_DENIED}, DWORD{0}}) {
    SetLastError(code);
    controls.RecordLastError();
    EXPECT_EQ(controls.LastLibraryError(), code);
  }
}

}  // namespace
}  // namespace zentrova
