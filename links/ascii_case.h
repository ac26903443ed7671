// Letters as schemes and escapes spell them: only ASCII letters have a case here, so no other
// character lowers to a letter of "thunder://" or "%2f" and a test finds exactly what a full
// lower-casing would.
#pragma once

#include <string_view>
#include <type_traits>

namespace zentrova::links {

constexpr char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c; }

// Whether `text` starts with `prefix` (in lower case), in any letter case.
template <typename Char>
bool StartsWithNoCase(std::basic_string_view<Char> text,
                      std::type_identity_t<std::basic_string_view<Char>> prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (Lower(static_cast<std::make_unsigned_t<Char>>(text[i])) != prefix[i]) return false;
  }
  return true;
}

// The value of the hexadecimal digit `c`, or -1.
constexpr int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (Lower(c) >= u'a' && Lower(c) <= u'f') return Lower(c) - u'a' + 10;
  return -1;
}

}  // namespace zentrova::links
