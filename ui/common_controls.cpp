// The common controls where the system has none (Linux, the browser): nothing to initialise.
// Windows' are in common_controls_windows.cpp.
#include "ui/common_controls.h"

namespace zentrova {

void CommonControls::InitCommonControls() {}

// No library was called, so there is no error to keep.
void CommonControls::RecordLastError() { lastLibraryError_ = 0; }

}  // namespace zentrova
