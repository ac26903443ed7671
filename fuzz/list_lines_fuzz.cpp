// A list file of arbitrary bytes read line after line by one reader, as the lists are: each
// line's text is its UTF-8 or its GBK reading (a byte-order mark at its start aside, as lists
// glued together from files carry one on any line), and a line is refused only when it is neither.
// Each text is then opened and made a Thunder link of as the lists do, with the checks every line's
// result passes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "codec/code_page.h"
#include "codec/utf8.h"
#include "fuzz/line_checks.h"
#include "links/link_formats.h"
#include "lists/found_links.h"
#include "lists/list_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zentrova;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  lists::ListLineReader reader;
  for (const std::string_view line : fuzz::Lines(bytes)) {
    std::string_view body = line;
    if (body.starts_with("\xef\xbb\xbf")) body.remove_prefix(3);
    const auto utf8 = FromValidUtf8(body);
    const auto gbk = codepage::FromValidNarrow(body);
    const auto text = reader.Text(line);
    if (!text) {
      if (utf8 || gbk) fuzz::Fail("a line that reads as UTF-8 or GBK refused", FromUtf8(line));
      continue;
    }
    if (!(utf8 && *text == *utf8) && !(gbk && *text == *gbk)) {
      fuzz::Fail("a line read as neither its UTF-8 nor its GBK text", *text);
    }
    fuzz::CheckOpened(lists::OpenFoundLink(*text, lists::Charset::kAuto), *text);
    fuzz::CheckMade(lists::MakeFoundLink(links::LinkKind::kThunder, *text, lists::Charset::kAuto),
                    links::LinkKind::kThunder, *text, lists::Charset::kAuto);
  }
  return 0;
}
