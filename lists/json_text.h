// Text as a JSON string, one rule for every JSON the program writes (the hand-off's JSON Lines,
// the extension's results): valid JSON that is also safe inside JavaScript source.
#pragma once

#include <string>
#include <string_view>

#include "lists/spill.h"

namespace zentrova::lists {

// Appends `text` to `out` (UTF-8) as a JSON string, quotes included. Escaped: '"', '\', every
// control character below U+0020 (as \u00XX), U+2028 and U+2029 (which JavaScript before ES2019
// could not take inside a string) and a lone surrogate (as \uXXXX, so that it arrives as it
// was); a surrogate pair is written as the character it makes, and every other character as
// it stands.
void AppendJsonString(std::u16string_view text, std::string& out);

// The same for `text` in UTF-8 (a byte that starts no valid sequence is written as U+FFFD).
void AppendJsonString(std::string_view text, std::string& out);

// The same, written in pieces that `spill` takes as they are made (InPieces).
void AppendJsonString(std::u16string_view text, std::string& out, const Spill& spill);
void AppendJsonString(std::string_view text, std::string& out, const Spill& spill);

// The same, appended to UTF-16 `out`, for text that JavaScript takes as a string of its own.
void AppendJsonString(std::u16string_view text, std::u16string& out);

}  // namespace zentrova::lists
