// The codec's failures in the reader's words. The codec describes them in Chinese, as its
// interface gives them; the command line reads each description back into its text and places
// and says it through the catalogue, so that an English reader reads English.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace zentrova::cli {

// Returns the English sentence of the catalogue for the codec's text `text` (one of
// errors::texts::All()), or nullptr for a text that has none.
const char* EnglishOf(std::u16string_view text);

// Returns `description`, which the codec wrote, in the user's language: its sentence from the
// catalogue with its places filled in, each place that is a description of its own said the
// same way and every other one shown by `shown` (a file's name as the system writes it).
// Words the codec did not write are shown as they stand.
std::string CodecWords(std::u16string_view description,
                       const std::function<std::string(std::u16string_view)>& shown);

}  // namespace zentrova::cli
