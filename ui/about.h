// The texts the window shows besides its layout: the About box and the report of a failure
// that reached a handler. Every front end shows these same words.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zentrova::ui {

inline constexpr std::u16string_view kAboutTitle = u"关于";

// Returns the About box's text: the author, the messenger number and the web address.
std::u16string AboutText();

// Returns the message for a failure with `code` and `description`: "错误 code：description".
std::u16string FailureReport(std::int32_t code, std::u16string_view description);

}  // namespace zentrova::ui
