// The platform's common controls. On Windows they give the window's controls the visual style
// that the manifest asks for; elsewhere there is nothing to initialise.
#pragma once

#include <cstdint>

namespace zentrova {

class CommonControls {
 public:
  virtual ~CommonControls() = default;
  // InitCommonControls of "Comctl32", looked up by name at the first call. Throws
  // std::runtime_error when the library or the function cannot be found.
  virtual void InitCommonControls();
  // Stores the platform's last error code as the last library error.
  virtual void RecordLastError();
  std::uint32_t LastLibraryError() const { return lastLibraryError_; }

 private:
  std::uint32_t lastLibraryError_ = 0;
};

}  // namespace zentrova
