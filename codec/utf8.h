// UTF-8 for the edges of the program that speak it: terminals, command lines, exception texts,
// and file names on systems whose names are bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zentrova {

// Returns `text` in UTF-8; a lone surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);

// Returns `text` as UTF-16; each byte that starts no valid sequence becomes U+FFFD.
std::u16string FromUtf8(std::string_view text);

// Returns true when every byte of `text` belongs to a valid UTF-8 sequence.
bool IsValidUtf8(std::string_view text);

// Returns the UTF-16 form of a name made of bytes: UTF-8 where it is valid, and each other
// byte b as the lone surrogate U+DC00 + b, so that no name is lost or confused with another.
std::u16string FromNativeName(std::string_view bytes);

// Returns the bytes that `FromNativeName` read `name` from; nothing when `name` holds a lone
// surrogate outside U+DC80..U+DCFF, which no byte name stands for.
std::optional<std::string> ToNativeName(std::u16string_view name);

}  // namespace zentrova
