// What the program is, fixed when it is built.
#pragma once

#include <string_view>

namespace zentrova::app {

inline constexpr std::string_view kTitle = "Zentrova";
inline constexpr int kLocaleId = 2052;  // Chinese (PRC)
inline constexpr std::string_view kLocaleName = "zh_CN";

}  // namespace zentrova::app
