#include "lists/file_names.h"

#include "codec/utf8.h"
#include "links/ascii_case.h"

namespace zentrova::lists {

using links::StartsWithNoCase;
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

bool IsForbidden(char16_t c) {
  return c < 0x20 || c == 0x7F || c == u'<' || c == u'>' || c == u':' || c == u'"' || c == u'/' ||
         c == u'\\' || c == u'|' || c == u'?' || c == u'*';
}

std::u16string_view WithoutTrailingDotsAndSpaces(std::u16string_view name) {
  while (!name.empty() && (name.back() == u'.' || name.back() == u' ')) name.remove_suffix(1);
  return name;
}

std::size_t Utf8Length(char16_t c) { return c < 0x80 ? 1 : c < 0x800 ? 2 : 3; }

// The longest start of `text` whose UTF-8 takes at most `bytes`, never half of a surrogate pair
// (a pair takes four bytes, two units of three each would count six).
std::u16string_view StartWithin(std::u16string_view text, std::size_t bytes) {
  std::size_t used = 0;
  std::size_t at = 0;
  while (at < text.size()) {
    const bool pair = text[at] >= 0xD800 && text[at] < 0xDC00 && at + 1 < text.size() &&
                      text[at + 1] >= 0xDC00 && text[at + 1] < 0xE000;
    const std::size_t length = pair ? 4 : Utf8Length(text[at]);
    if (used + length > bytes) break;
    used += length;
    at += pair ? 2 : 1;
  }
  return text.substr(0, at);
}

// Counted, not written: a name can be as long as a line.
std::size_t Utf8Size(std::u16string_view text) {
  std::size_t size = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    const char16_t c = text[at];
    if (c < 0x80) {
      size += 1;
    } else if (c < 0x800) {
      size += 2;
    } else if (c >= 0xD800 && c < 0xDC00 && at + 1 < text.size() && text[at + 1] >= 0xDC00 &&
               text[at + 1] < 0xE000) {
      size += 4;
      ++at;
    } else {
      size += 3;  // a lone surrogate too, written as U+FFFD
    }
  }
  return size;
}

// Extensions longer than this are no extension a person would miss: the name is cut at its end.
constexpr std::size_t kLongestKeptExtension = 32;

}  // namespace

bool IsDeviceName(std::u16string_view name) {
  name = name.substr(0, name.find(u'.'));
  while (!name.empty() && name.front() == u' ') name.remove_prefix(1);
  while (!name.empty() && name.back() == u' ') name.remove_suffix(1);
  for (const std::u16string_view device : {u"con", u"prn", u"aux", u"nul", u"conin$", u"conout$"}) {
    if (name.size() == device.size() && StartsWithNoCase(name, device)) return true;
  }
  if (name.size() != 4 || !(StartsWithNoCase(name, u"com") || StartsWithNoCase(name, u"lpt"))) {
    return false;
  }
  const char16_t last = name[3];
  return (last >= u'0' && last <= u'9') || last == 0x00B9 || last == 0x00B2 || last == 0x00B3;
}

std::optional<std::u16string> SafeFileName(std::u16string_view name) {
  // Trailing dots and spaces go first, as they would from the escaped name (no escape ends in
  // either). Of a long name only the start and the extension can remain: its middle is put by
  // a filler, so that a name as long as a line is not copied whole to keep 255 bytes of it.
  name = WithoutTrailingDotsAndSpaces(name);
  constexpr std::size_t kStart = 2 * kLongestFileName;
  constexpr std::size_t kEnd = 2 * kLongestKeptExtension;
  std::u16string shortened;
  if (name.size() > kStart + 4 * kEnd) {
    shortened.reserve(kStart + 2 * kEnd);
    shortened.append(name.substr(0, kStart));
    shortened.append(kEnd, u'_');
    shortened.append(name.substr(name.size() - kEnd));
    name = shortened;
  }
  std::u16string safe;
  safe.reserve(name.size());
  for (const char16_t c : name) {
    if (IsForbidden(c)) {
      safe += u'%';
      safe += static_cast<char16_t>(kHex[c >> 4 & 0xF]);
      safe += static_cast<char16_t>(kHex[c & 0xF]);
    } else {
      safe += c;
    }
  }
  safe.resize(WithoutTrailingDotsAndSpaces(safe).size());
  if (Utf8Size(safe) > kLongestFileName) {
    const std::size_t dot = safe.rfind(u'.');
    std::u16string_view extension;
    if (dot != std::u16string::npos && dot > 0 && safe.size() - dot <= kLongestKeptExtension) {
      extension = std::u16string_view(safe).substr(dot);
    }
    const std::u16string_view stem = WithoutTrailingDotsAndSpaces(
        StartWithin(std::u16string_view(safe).substr(0, safe.size() - extension.size()),
                    kLongestFileName - Utf8Size(extension)));
    safe = std::u16string(stem) + std::u16string(extension);
    safe.resize(WithoutTrailingDotsAndSpaces(safe).size());
  }
  if (safe.empty() || IsDeviceName(safe)) return std::nullopt;
  return safe;
}

}  // namespace zentrova::lists
