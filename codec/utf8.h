// UTF-8 for the edges of the program that speak it: terminals, command lines, exception texts,
// and file names on systems whose names are bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zentrova {

// Returns `text` in UTF-8; a lone surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);

// The same, appended to `out`: a caller that converts line after line keeps one buffer.
void AppendUtf8(std::u16string_view text, std::string& out);

// Returns `text` as UTF-16; each byte that starts no valid sequence becomes U+FFFD.
std::u16string FromUtf8(std::string_view text);

// Returns `text` as UTF-16, or nothing when some byte of it belongs to no valid sequence.
std::optional<std::u16string> FromValidUtf8(std::string_view text);

// Returns the character that the UTF-8 sequence at the start of `bytes` encodes, with its length
// in bytes; nothing when the first byte starts no valid sequence.
struct Utf8Character {
  char32_t value;
  std::size_t length;
};
std::optional<Utf8Character> FirstUtf8Character(std::string_view bytes);

// Returns a code point's name as Unicode writes it: "U+0041", "U+1F600".
std::string CodePointName(char32_t c);

// Returns the UTF-16 form of a name made of bytes: UTF-8 where it is valid, and each other
// byte b as the lone surrogate U+DC00 + b, so that no name is lost or confused with another.
std::u16string FromNativeName(std::string_view bytes);

// Returns the bytes that `FromNativeName` read `name` from; nothing when `name` holds a lone
// surrogate outside U+DC80..U+DCFF, which no byte name stands for.
std::optional<std::string> ToNativeName(std::u16string_view name);

}  // namespace zentrova
