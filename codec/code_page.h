// The narrow code page: how a text becomes bytes before encoding and how decoded bytes become
// a text again. On Windows it is the system's ANSI code page; elsewhere a process-wide setting.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zentrova::codepage {

inline constexpr std::uint32_t kDefaultCodePage = 936;  // GBK, the program's home

// Returns the code page that conversions use now.
std::uint32_t NarrowCodePage();

// Makes `codePage` (a Windows code page number with at most two bytes a character) the one
// conversions use. Returns false and changes nothing when this host cannot convert it. On
// Windows the system's ANSI code page always rules, so only that number is accepted.
bool SetNarrowCodePage(std::uint32_t codePage);

// Returns the byte form of `text`: each UTF-16 code unit the code page cannot hold becomes
// "?", so a surrogate pair becomes "??".
std::string ToNarrow(std::u16string_view text);

// Returns true when the code page holds `unit` as a character of its own (never half of a
// surrogate pair).
bool HoldsUnit(char16_t unit);

// Returns the code points of the characters of `text` that ToNarrow would turn into "?", each
// once, in the order they first occur (a surrogate pair as one character).
std::u32string Unrepresentable(std::u16string_view text);

// Returns the text that `bytes` stand for: each byte that forms no character becomes U+FFFD.
std::u16string FromNarrow(std::string_view bytes);

// Returns the text that `bytes` stand for, or nothing when some byte forms no character (each
// system would make something of its own of it).
std::optional<std::u16string> FromValidNarrow(std::string_view bytes);

// Whether every code unit of `text`, or every byte of `bytes`, is ASCII.
bool IsAscii(std::u16string_view text);
bool IsAscii(std::string_view bytes);

}  // namespace zentrova::codepage
