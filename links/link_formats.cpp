#include "links/link_formats.h"

#include <algorithm>

#include "links/ascii_case.h"
#include "links/unsafe_characters.h"

namespace zentrova::links {
namespace {

constexpr std::u16string_view kThunderOpen = u"AAhttp://";
constexpr std::u16string_view kThunderClose = u"ZZ";
constexpr std::size_t kThunderCut = 8;  // the source from this character follows "AAhttp://"

}  // namespace

std::u16string_view Prefix(LinkKind kind) {
  switch (kind) {
    case LinkKind::kThunder:
      return u"thunder://";
    case LinkKind::kFlashGet:
      return u"flashget://";
    case LinkKind::kQQWhirlwind:
      return u"qqdl://";
  }
  return {};
}

bool Holds(std::u16string_view text, std::u16string_view needle) {
  return std::search(text.begin(), text.end(), needle.begin(), needle.end(),
                     [](char16_t a, char16_t b) { return Lower(a) == b; }) != text.end();
}

std::u16string From(std::u16string_view text, std::size_t position) {
  return position > text.size() ? std::u16string() : std::u16string(text.substr(position - 1));
}

std::optional<std::u16string> MakeSpecialLink(LinkKind kind, std::u16string_view source,
                                              const TextTransform& encode) {
  if (!Holds(source, kHttp)) return std::nullopt;
  // The first seven characters are dropped, not searched for: with the address at the start
  // they are its scheme, which the payload then always carries in lower case.
  std::u16string encoded;
  {
    std::u16string payload;
    if (kind == LinkKind::kThunder) {
      payload.reserve(kThunderOpen.size() + source.size() + kThunderClose.size());
      const std::u16string_view rest =
          kThunderCut > source.size() ? std::u16string_view() : source.substr(kThunderCut - 1);
      payload.append(kThunderOpen).append(rest).append(kThunderClose);
    } else {
      payload.assign(source);
    }
    encoded = encode(payload);
  }
  // Built at its final size once the payload is gone: long addresses make long links.
  std::u16string link;
  link.reserve(Prefix(kind).size() + encoded.size());
  link.append(Prefix(kind)).append(encoded);
  return link;
}

std::optional<Opened> OpenLayers(std::u16string_view source, const TextTransform& decode) {
  std::u16string text(source);
  bool opened = false;
  if (const auto prefix = Prefix(LinkKind::kThunder); Holds(text, prefix)) {
    opened = true;
    const std::u16string payload = decode(From(text, prefix.size() + 1));
    // Shorter than "AA" plus "ZZ": nothing of an address can be in it.
    const std::size_t wrap = kThunderOpen.size() - kHttp.size() + kThunderClose.size();
    text = payload.size() < wrap ? std::u16string() : payload.substr(2, payload.size() - wrap);
  }
  for (const LinkKind kind : {LinkKind::kFlashGet, LinkKind::kQQWhirlwind}) {
    if (const auto prefix = Prefix(kind); Holds(text, prefix)) {
      text = decode(From(text, prefix.size() + 1));
      opened = true;
    }
  }
  if (!Holds(text, kHttp)) return std::nullopt;
  return Opened{std::move(text), opened};
}

std::optional<std::u16string> OpenSpecialLink(std::u16string_view source,
                                              const TextTransform& decode) {
  auto opened = OpenLayers(source, decode);
  if (!opened) return std::nullopt;
  // What a link carried was never seen by the user: a line break or a direction mark in it
  // would run a command or disguise a file once pasted. A text given as it is stays the user's.
  // Nor may its bytes hide one for whoever reads them as UTF-8 (the server, the file system).
  if (opened->layerOpened &&
      (FirstUnsafeCharacter(opened->text) || FirstUnsafeCodePageByte(opened->text))) {
    return std::nullopt;
  }
  return std::move(opened->text);
}

}  // namespace zentrova::links
