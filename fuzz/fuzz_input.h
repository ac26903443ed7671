// Turning a fuzzer's bytes into the inputs the codec takes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace zentrova::fuzz {

// Pairs of bytes as UTF-16 code units, lone surrogates and all: the text boxes and the
// clipboard can hand over any of them.
inline std::u16string Utf16(const std::uint8_t* data, std::size_t size) {
  std::u16string text(size / 2, u'\0');
  std::memcpy(text.data(), data, text.size() * 2);
  return text;
}

}  // namespace zentrova::fuzz
