// The small text work every part of a check does on addresses and header values, which are
// ASCII: spaces and tabs trimmed, letters lowered, bytes widened for the lists' host rules.
#pragma once

#include <string>
#include <string_view>

namespace zentrova::checks {

// `text` without the spaces, tabs and line ends around it.
inline std::string_view Trimmed(std::string_view text) {
  constexpr std::string_view kSpace = " \t\r\n";
  const std::size_t first = text.find_first_not_of(kSpace);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

// `text` with its ASCII letters in lower case.
inline std::string Lowered(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
  }
  return lower;
}

// `text`'s bytes, each as the UTF-16 unit of the same value, as the lists' host rules take an
// address (which a downloader is given escaped, in ASCII).
inline std::u16string Widened(std::string_view text) {
  std::u16string wide;
  wide.reserve(text.size());
  for (const char c : text) wide.push_back(static_cast<unsigned char>(c));
  return wide;
}

}  // namespace zentrova::checks
