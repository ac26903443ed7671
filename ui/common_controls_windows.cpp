// The common controls on Windows: Comctl32's InitCommonControls, which gives the window's
// controls the visual style its manifest asks for.
#include <windows.h>

#include <stdexcept>

#include "ui/common_controls.h"

namespace zentrova {

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

}  // namespace zentrova
