// Opening the special link in each line of arbitrary text, under every reading of its bytes:
// each line gives one result, and an address converted or passed through is one line of a
// scheme that lists accept, hiding no control or direction character.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "codec/utf8.h"
#include "fuzz/line_checks.h"
#include "lists/found_links.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zentrova;
  // UTF-8, each byte outside a character as a lone surrogate: the seeds stay readable lines,
  // and broken text is reached too.
  const std::u16string text =
      FromNativeName(std::string_view(reinterpret_cast<const char*>(data), size));
  for (const std::u16string_view line : fuzz::Lines(std::u16string_view(text))) {
    for (const lists::Charset charset :
         {lists::Charset::kAuto, lists::Charset::kCodePage, lists::Charset::kUtf8}) {
      fuzz::CheckOpened(lists::OpenFoundLink(line, charset), line);
    }
  }
  return 0;
}
