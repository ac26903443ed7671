// What the program is, fixed when it is built; its name is in ui/identity.h.
#pragma once

#include <string_view>

namespace zentrova::app {

inline constexpr int kLocaleId = 2052;  // Chinese (PRC)
inline constexpr std::string_view kLocaleName = "zh_CN";

}  // namespace zentrova::app
