#include "lists/list_lines.h"

#include "codec/code_page.h"
#include "codec/utf8.h"
#include "lists/reading_choice.h"

namespace zentrova::lists {

std::optional<std::u16string> ListLineReader::Text(std::string_view line) {
  // A mark begins a UTF-8 file, and a list glued together from files carries one at the start
  // of each later file's first line: what follows it is UTF-8.
  if (line.starts_with("\xef\xbb\xbf")) {
    line.remove_prefix(3);
    charset_ = Charset::kUtf8;
    marked_ = true;
  }
  if (codepage::IsAscii(line)) return std::u16string(line.begin(), line.end());
  // The GBK reading, made only when it is needed; nothing when the line is not GBK.
  std::optional<std::optional<std::u16string>> gbk;
  auto gbkReading = [&]() -> const std::u16string* {
    if (!gbk) gbk = codepage::FromValidNarrow(line);
    return *gbk ? &**gbk : nullptr;
  };
  if (charset_ != Charset::kGbk) {
    // A short Chinese name in GBK may be valid UTF-8 by chance: such a line is read the way
    // a person would read it.
    if (auto utf8 = FromValidUtf8(line); utf8 && (marked_ || HoldsCjk(*utf8) || !gbkReading() ||
                                                  !ReadsBetterAsGbk(line, *utf8, *gbkReading()))) {
      charset_ = Charset::kUtf8;
      return utf8;
    }
  }
  if (const std::u16string* reading = gbkReading()) {
    if (charset_ == Charset::kUndecided) charset_ = Charset::kGbk;
    return *reading;
  }
  if (charset_ == Charset::kGbk) return FromValidUtf8(line);
  return std::nullopt;
}

}  // namespace zentrova::lists
