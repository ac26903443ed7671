#include "ui/common_controls.h"

#ifdef _WIN32
#include <windows.h>

#include <stdexcept>
#endif

namespace zentrova {

#ifdef _WIN32

void CommonControls::InitCommonControls() {
  using Init = void(WINAPI*)();
  static Init init = [] {
    HMODULE library = LoadLibraryW(L"Comctl32");
    if (!library) throw std::runtime_error("Comctl32 cannot be loaded");
    auto found = reinterpret_cast<Init>(
        reinterpret_cast<void*>(GetProcAddress(library, "InitCommonControls")));
    if (!found) throw std::runtime_error("InitCommonControls is not in Comctl32");
    return found;
  }();
  init();
}

void CommonControls::RecordLastError() { lastLibraryError_ = GetLastError(); }

#else

void CommonControls::InitCommonControls() {}

// No library was called, so there is no error to keep.
void CommonControls::RecordLastError() { lastLibraryError_ = 0; }

#endif

}  // namespace zentrova
