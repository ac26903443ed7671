// UTF-8 for the edges of the program that speak it: terminals, command lines, exception texts.
#pragma once

#include <string>
#include <string_view>

namespace zentrova {

// Returns `text` in UTF-8; a lone surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);

// Returns `text` as UTF-16; each byte that starts no valid sequence becomes U+FFFD.
std::u16string FromUtf8(std::string_view text);

}  // namespace zentrova
