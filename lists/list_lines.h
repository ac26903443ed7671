// How the lines of one list (a file's bytes, line by line) become texts. A byte-order mark at
// the start of a line (the first, or a later one where files were glued together) is no part of
// it, and makes the list UTF-8 from there on (a line that is not UTF-8 at all is still read as GBK,
// which loses nothing); otherwise the first line that holds anything but ASCII decides between
// UTF-8 and code page 936, and a later line that is not valid in that one is read in the other. A
// line valid in neither is refused rather than read with U+FFFD in it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zentrova::lists {

class ListLineReader {
 public:
  // Returns the text of the next line's bytes `line` (without its end), or nothing when they
  // are neither UTF-8 nor GBK.
  std::optional<std::u16string> Text(std::string_view line);

 private:
  enum class Charset { kUndecided, kUtf8, kGbk };
  Charset charset_ = Charset::kUndecided;
  bool marked_ = false;  // a byte-order mark was met: valid UTF-8 is never GBK from there on
};

}  // namespace zentrova::lists
