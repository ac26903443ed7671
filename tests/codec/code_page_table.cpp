// Writes the narrow code page as a table, so that two systems' tables can be compared line by
// line: every UTF-16 code unit with the bytes it becomes, and every byte and pair of bytes with
// the character it stands for ("-" where it stands for none, which each system decides alone).
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include <cstdio>
#include <string>

#include "codec/code_page.h"

namespace {

// Returns the one character `bytes` stand for, or "-".
std::string Character(const std::string& bytes) {
  const std::u16string text = zentrova::codepage::FromNarrow(bytes);
  if (text.size() != 1 || text[0] == u'?' || text[0] == u'\uFFFD') return "-";
  char hex[8];
  std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(text[0]));
  return hex;
}

}  // namespace

int main() {
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);  // the same line ends as the other system's table
#endif
  for (unsigned unit = 0; unit < 0x10000; ++unit) {
    const std::string bytes = zentrova::codepage::ToNarrow(std::u16string(1, char16_t(unit)));
    std::printf("U+%04X", unit);
    for (const char b : bytes) std::printf(" %02X", static_cast<unsigned char>(b));
    std::printf("\n");
  }
  for (unsigned byte = 0; byte < 0x100; ++byte) {
    std::printf("%02X %s\n", byte, Character(std::string(1, char(byte))).c_str());
  }
  for (unsigned lead = 0x81; lead < 0xFF; ++lead) {
    for (unsigned trail = 0x40; trail < 0xFF; ++trail) {
      const std::string pair = {char(lead), char(trail)};
      std::printf("%02X%02X %s\n", lead, trail, Character(pair).c_str());
    }
  }
  return std::ferror(stdout) ? 1 : 0;
}
