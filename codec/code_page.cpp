// What the narrow code page does the same on every system.
#include "codec/code_page.h"

#include <algorithm>

namespace zentrova::codepage {

std::u16string Unrepresentable(std::u16string_view text) {
  std::u16string lost;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (HoldsUnit(text[i])) continue;
    const bool pair = text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < text.size() &&
                      text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000;
    const std::u16string_view character = text.substr(i, pair ? 2 : 1);
    if (pair) ++i;
    if (std::search(lost.begin(), lost.end(), character.begin(), character.end()) == lost.end()) {
      lost += character;
    }
  }
  return lost;
}

}  // namespace zentrova::codepage
