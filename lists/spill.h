// Text written in pieces: an entry made of a line near the lists' limit is tens of megabytes, and
// a front end that writes it to a file need not hold it whole. A writer cuts its long fields
// into pieces and hands what it has written on after each one.
#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace zentrova::lists {

// Takes the text written so far: writes it away and leaves `out` empty.
using Spill = std::function<void(std::string& out)>;

// About how much of a long field is written before it is spilled.
inline constexpr std::size_t kSpillPiece = std::size_t{1} << 16;

// Whether a cut of `text` before `at` would fall inside a character.
inline bool IsInsideCharacter(std::u16string_view text, std::size_t at) {
  return text[at] >= 0xDC00 && text[at] <= 0xDFFF && text[at - 1] >= 0xD800 &&
         text[at - 1] <= 0xDBFF;
}
inline bool IsInsideCharacter(std::string_view text, std::size_t at) {
  return (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80;
}

// Calls write(piece) for `text` cut into pieces of about kSpillPiece units, spilling `out` after
// each one, or write(text) once when there is no spill. A piece never ends inside a character
// (between the halves of a surrogate pair, before a UTF-8 continuation byte), so that every
// writer writes the pieces as it would the whole.
template <typename Char, typename Write>
void InPieces(std::basic_string_view<Char> text, std::string& out, const Spill& spill,
              Write&& write) {
  if (!spill) {
    write(text);
    return;
  }
  while (!text.empty()) {
    std::size_t size = std::min(text.size(), kSpillPiece);
    while (size < text.size() && IsInsideCharacter(text, size)) ++size;
    write(text.substr(0, size));
    spill(out);
    text.remove_prefix(size);
  }
}

}  // namespace zentrova::lists
