#include "codec/utf8.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace zentrova {
namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool IsSurrogate(std::uint32_t c) { return c >= 0xD800 && c < 0xE000; }
bool IsEscapedByte(char16_t c) { return c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF; }

void AppendCharacter(std::uint32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Walks `text` as UTF-16, handing each character, or each lone surrogate, to `emit`.
template <typename Emit>
void ForEachCharacter(std::u16string_view text, Emit&& emit) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
      emit(0x10000 + ((std::uint32_t{c} - 0xD800) << 10) + (text[++i] - 0xDC00u), false);
    } else {
      emit(std::uint32_t{c}, IsSurrogate(c));
    }
  }
}

// Reads `text` as UTF-8; each byte that starts no valid sequence goes to `invalid`, which
// returns the code unit that stands for it.
template <typename Invalid>
std::u16string Decode(std::string_view text, Invalid&& invalid) {
  std::u16string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    // A run of ASCII, most of most texts here, widens byte by byte.
    std::size_t ascii = i;
    while (ascii < text.size() && static_cast<unsigned char>(text[ascii]) < 0x80) ++ascii;
    if (ascii > i) {
      out.append(text.begin() + static_cast<std::ptrdiff_t>(i),
                 text.begin() + static_cast<std::ptrdiff_t>(ascii));
      i = ascii;
      continue;
    }
    const auto character = FirstUtf8Character(text.substr(i));
    if (!character) {
      out += invalid(static_cast<unsigned char>(text[i]));
      ++i;
      continue;
    }
    const char32_t c = character->value;
    if (c >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
    i += character->length;
  }
  return out;
}

}  // namespace

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  AppendUtf8(text, out);
  return out;
}

void AppendUtf8(std::u16string_view text, std::string& out) {
  // Room for the text at least, grown geometrically: a buffer that takes line after line must
  // not be moved for each (libc++ reserves exactly what is asked, and may even shrink to it).
  if (out.capacity() < out.size() + text.size()) {
    out.reserve(std::max(out.size() + text.size(), out.capacity() * 2));
  }
  while (!text.empty()) {
    // A run of ASCII narrows unit by unit; the rest goes character by character.
    std::size_t ascii = 0;
    while (ascii < text.size() && text[ascii] < 0x80) ++ascii;
    // Narrowed in place: append() from char16_t iterators builds a whole temporary string first.
    const std::size_t at = out.size();
    out.resize(at + ascii);
    std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(ascii),
              out.begin() + static_cast<std::ptrdiff_t>(at));
    std::size_t other = ascii;
    while (other < text.size() && text[other] >= 0x80) ++other;
    ForEachCharacter(text.substr(ascii, other - ascii),
                     [&](std::uint32_t c, bool lone) { AppendCharacter(lone ? 0xFFFD : c, out); });
    text.remove_prefix(other);
  }
}

std::u16string FromUtf8(std::string_view text) {
  return Decode(text, [](unsigned char) { return u'\uFFFD'; });
}

std::optional<std::u16string> FromValidUtf8(std::string_view text) {
  bool valid = true;
  std::u16string out = Decode(text, [&](unsigned char) {
    valid = false;
    return u'\uFFFD';
  });
  if (!valid) return std::nullopt;
  return out;
}

std::optional<Utf8Character> FirstUtf8Character(std::string_view bytes) {
  if (bytes.empty()) return std::nullopt;
  const auto lead = static_cast<unsigned char>(bytes[0]);
  // Leads C2-F4 only: C0 and C1 could only start overlong forms, and F5-FF values past
  // U+10FFFF or no sequence at all.
  const std::size_t length = lead < 0x80    ? 1
                             : lead >= 0xF5 ? 0
                             : lead >= 0xF0 ? 4
                             : lead >= 0xE0 ? 3
                             : lead >= 0xC2 ? 2
                                            : 0;
  char32_t c = length == 1 ? lead : lead & (0xFF >> (length + 1));
  bool valid = length > 0 && length <= bytes.size();
  for (std::size_t k = 1; valid && k < length; ++k) {
    const auto next = static_cast<unsigned char>(bytes[k]);
    valid = (next & 0xC0) == 0x80;
    c = (c << 6) | (next & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are not characters.
  valid = valid && !(length == 3 && c < 0x800) && !(length == 4 && (c < 0x10000 || c > 0x10FFFF)) &&
          !IsSurrogate(c);
  if (!valid) return std::nullopt;
  return Utf8Character{c, length};
}

std::string CodePointName(char32_t c) {
  char name[16];
  std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(c));
  return name;
}

std::u16string FromNativeName(std::string_view bytes) {
  return Decode(bytes, [](unsigned char b) { return static_cast<char16_t>(kEscapeBase + b); });
}

std::optional<std::string> ToNativeName(std::u16string_view name) {
  std::string out;
  out.reserve(name.size());
  bool representable = true;
  ForEachCharacter(name, [&](std::uint32_t c, bool lone) {
    if (!lone) {
      AppendCharacter(c, out);
    } else if (IsEscapedByte(static_cast<char16_t>(c))) {
      out += static_cast<char>(c - kEscapeBase);
    } else {
      representable = false;
    }
  });
  if (!representable) return std::nullopt;
  return out;
}

}  // namespace zentrova
