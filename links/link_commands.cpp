#include "links/link_commands.h"

#include <optional>
#include <string_view>

#include "links/lazy_codec.h"
#include "links/link_formats.h"

namespace zentrova {
namespace {

using links::LinkKind;

// The input box without its leading and trailing spaces (U+0020 only), or the clipboard's
// text, untrimmed, when the box holds nothing else.
std::u16string SourceText(LinkSurface& surface) {
  const std::u16string input = surface.TxtRes.Text();
  const auto first = input.find_first_not_of(u' ');
  if (first == std::u16string::npos) return surface.clipboard.GetText();
  return input.substr(first, input.find_last_not_of(u' ') - first + 1);
}

void Finish(LinkSurface& surface, const std::optional<std::u16string>& result,
            std::u16string_view failureText) {
  if (!result) {
    surface.TxtOut.SetText(std::u16string(failureText));
    return;
  }
  surface.TxtOut.SetText(*result);
  surface.clipboard.Clear();
  surface.clipboard.SetText(*result);
}

void MakeLink(LinkSurface& surface, LinkKind kind) {
  const std::u16string source = SourceText(surface);
  Finish(surface,
         links::MakeSpecialLink(kind, source, links::Through(surface.codec, &Base64::Encode)),
         links::kNotHttpLink);
}

}  // namespace

void EncodeToXL(LinkSurface& surface) { MakeLink(surface, LinkKind::kThunder); }

void EncodeToFG(LinkSurface& surface) { MakeLink(surface, LinkKind::kFlashGet); }

void EncodeToXF(LinkSurface& surface) { MakeLink(surface, LinkKind::kQQWhirlwind); }

void DecodeToPlain(LinkSurface& surface) {
  const std::u16string source = SourceText(surface);
  Finish(surface, links::OpenSpecialLink(source, links::Through(surface.codec, &Base64::Decode)),
         links::kNotSpecialLink);
}

}  // namespace zentrova
