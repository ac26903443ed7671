// Making each kind of link of each line of arbitrary text, with the address's bytes in every
// charset: each line gives one link on one line, or a failure, and the link opens again to the
// address that the line holds.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "codec/utf8.h"
#include "fuzz/line_checks.h"
#include "links/link_formats.h"
#include "lists/found_links.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zentrova;
  // UTF-8, each byte outside a character as a lone surrogate: the seeds stay readable lines,
  // and broken text is reached too.
  const std::u16string text =
      FromNativeName(std::string_view(reinterpret_cast<const char*>(data), size));
  for (const std::u16string_view line : fuzz::Lines(std::u16string_view(text))) {
    for (const links::LinkKind kind :
         {links::LinkKind::kThunder, links::LinkKind::kFlashGet, links::LinkKind::kQQWhirlwind}) {
      for (const lists::Charset charset :
           {lists::Charset::kAuto, lists::Charset::kCodePage, lists::Charset::kUtf8}) {
        fuzz::CheckMade(lists::MakeFoundLink(kind, line, charset), kind, line, charset);
      }
    }
  }
  return 0;
}
