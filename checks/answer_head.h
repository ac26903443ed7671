// A field of an HTTP answer's head read from its own bytes, for where the system's stack would
// hand the value back only through its code page.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zentrova::checks {

// The value of the field `name` (any case) in `head` (the status line, the fields, CR LF or LF
// line ends), without the white space around it; the first one where the field repeats.
std::optional<std::string> HeadField(std::string_view head, std::string_view name);

}  // namespace zentrova::checks
