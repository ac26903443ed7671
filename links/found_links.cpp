#include "links/found_links.h"

#include <algorithm>
#include <array>
#include <optional>

#include "codec/base64_transform.h"
#include "codec/code_page.h"
#include "codec/utf8.h"

namespace zentrova::links {
namespace {

using Kind = LineResult::Kind;

constexpr std::array<std::u16string_view, 5> kPlainSchemes = {u"http://", u"https://", u"ftp://",
                                                              u"ed2k://", u"magnet:?"};
// A link inside a link is opened again; real lists nest two or three deep.
constexpr int kMostLayers = 8;

constexpr char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c; }

bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (Lower(text[i]) != prefix[i]) return false;
  }
  return true;
}

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == 0x3000;
}

std::u16string_view Trimmed(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool IsBase64Character(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
         c == u'+' || c == u'/' || c == u'=';
}

// An address ends where text around it begins: at a blank, a quote or an angle bracket.
bool EndsAddress(char16_t c) {
  return IsBlank(c) || c == u'"' || c == u'\'' || c == u'<' || c == u'>';
}

struct Found {
  std::size_t at;
  std::u16string_view prefix;
};

// Returns where the earliest of `prefixes` starts in `text`, in any letter case.
template <std::size_t N>
std::optional<Found> FindFirst(std::u16string_view text,
                               const std::array<std::u16string_view, N>& prefixes) {
  for (std::size_t at = 0; at < text.size(); ++at) {
    for (const std::u16string_view prefix : prefixes) {
      if (StartsWithNoCase(text.substr(at), prefix)) return Found{at, prefix};
    }
  }
  return std::nullopt;
}

const std::array<std::u16string_view, 3> kSpecialPrefixes = {
    Prefix(LinkKind::kThunder), Prefix(LinkKind::kFlashGet), Prefix(LinkKind::kQQWhirlwind)};

LinkKind KindOf(std::u16string_view prefix) {
  for (const LinkKind kind : {LinkKind::kThunder, LinkKind::kFlashGet, LinkKind::kQQWhirlwind}) {
    if (Prefix(kind) == prefix) return kind;
  }
  return LinkKind::kQQWhirlwind;
}

LineResult Failure(std::string why) { return {Kind::kFailed, {}, std::move(why)}; }

// Returns the text that a link's bytes stand for; nothing when UTF-8 is asked for and they are
// not UTF-8.
std::optional<std::u16string> Read(std::string_view bytes, Charset charset) {
  if (charset == Charset::kCodePage) return codepage::FromNarrow(bytes);
  const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (charset == Charset::kAuto && ascii) return codepage::FromNarrow(bytes);
  auto utf8 = FromValidUtf8(bytes);
  if (utf8 || charset == Charset::kUtf8) return utf8;
  return codepage::FromNarrow(bytes);
}

// Returns the scheme of an address ("http" of "http://…", "magnet" of "magnet:?…"), or "".
std::u16string_view SchemeOf(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && ((Lower(text[i]) >= u'a' && Lower(text[i]) <= u'z') ||
                             (i > 0 && ((text[i] >= u'0' && text[i] <= u'9') || text[i] == u'+' ||
                                        text[i] == u'-' || text[i] == u'.')))) {
    ++i;
  }
  return i > 0 && i < text.size() && text[i] == u':' ? text.substr(0, i) : std::u16string_view();
}

// Opens one special link that starts `text` (its prefix already found); returns what it holds.
LineResult OpenLayer(std::u16string_view text, std::u16string_view prefix, Charset charset) {
  std::u16string_view payload = text.substr(prefix.size());
  std::size_t end = 0;
  while (end < payload.size() && IsBase64Character(payload[end])) ++end;
  payload = payload.substr(0, end);  // what follows ("&…", a quote, other text) is not the link's
  if (payload.empty()) return Failure("the link holds no Base64 text");
  base64::Decoder decoder;
  std::string bytes;
  auto failure = decoder.Feed(payload, bytes);
  if (!failure) failure = decoder.Finish(bytes);
  if (failure) return Failure("the link's Base64 text is not valid");
  auto read = Read(bytes, charset);
  if (!read) return Failure("the link's bytes are not UTF-8");
  std::u16string inner = std::move(*read);
  switch (KindOf(prefix)) {
    case LinkKind::kThunder:
      if (inner.size() < 4 || !inner.starts_with(u"AA") || !inner.ends_with(u"ZZ")) {
        return Failure("the Thunder link lacks its AA…ZZ wrapper");
      }
      inner = inner.substr(2, inner.size() - 4);
      break;
    case LinkKind::kFlashGet: {
      constexpr std::u16string_view kWrap = u"[flashget]";
      if (StartsWithNoCase(inner, kWrap)) inner.erase(0, kWrap.size());
      if (inner.size() >= kWrap.size() &&
          StartsWithNoCase(std::u16string_view(inner).substr(inner.size() - kWrap.size()), kWrap)) {
        inner.erase(inner.size() - kWrap.size());
      }
      break;
    }
    case LinkKind::kQQWhirlwind:
      break;
  }
  return {Kind::kConverted, std::move(inner), {}};
}

}  // namespace

LineResult OpenFoundLink(std::u16string_view line, Charset charset) {
  const std::u16string_view text = Trimmed(line);
  if (text.empty()) return {};
  const auto found = FindFirst(text, kSpecialPrefixes);
  if (!found) {
    for (const std::u16string_view scheme : kPlainSchemes) {
      if (StartsWithNoCase(text, scheme)) return {Kind::kPassedThrough, std::u16string(text), {}};
    }
    return Failure("the line holds no special link");
  }
  LineResult result = OpenLayer(text.substr(found->at), found->prefix, charset);
  for (int layer = 1; result.kind == Kind::kConverted; ++layer) {
    const std::u16string_view inner = Trimmed(result.text);
    const auto nested =
        std::find_if(kSpecialPrefixes.begin(), kSpecialPrefixes.end(),
                     [&](std::u16string_view prefix) { return StartsWithNoCase(inner, prefix); });
    if (nested == kSpecialPrefixes.end()) break;
    if (layer == kMostLayers) return Failure("the link nests too deep");
    result = OpenLayer(inner, *nested, charset);
  }
  if (result.kind != Kind::kConverted) return result;
  if (SchemeOf(result.text).empty()) return Failure("the link does not hold an address");
  for (const char16_t c : result.text) {
    if (c < 0x20 || c == 0x7F)
      return Failure("the address holds the control character " + CodePointName(c));
  }
  return result;
}

LineResult MakeFoundLink(LinkKind kind, std::u16string_view line, Charset charset) {
  const std::u16string_view text = Trimmed(line);
  if (text.empty()) return {};
  const auto found = FindFirst(text, kPlainSchemes);
  if (!found) return Failure("the line holds no plain address");
  std::u16string_view address = text.substr(found->at);
  std::size_t end = 0;
  while (end < address.size() && !EndsAddress(address[end])) ++end;
  address = address.substr(0, end);

  std::string bytes;
  if (charset == Charset::kUtf8) {
    bytes = ToUtf8(address);
  } else {
    const std::u32string lost = codepage::Unrepresentable(address);
    if (!lost.empty()) {
      return Failure("code page 936 cannot hold " + CodePointName(lost[0]) +
                     " (--charset utf-8 keeps it)");
    }
    bytes = codepage::ToNarrow(address);
  }
  if (kind == LinkKind::kThunder) {
    // As the window makes it: the scheme in lower case, "AA" before and "ZZ" after.
    for (std::size_t i = 0; i < found->prefix.size(); ++i)
      bytes[i] = static_cast<char>(found->prefix[i]);
    bytes = "AA" + bytes + "ZZ";
  }
  // One line a link: the Base64 text without the line feeds it is written with elsewhere.
  std::u16string encoded;
  base64::EncodeAppend(bytes, encoded);
  std::erase(encoded, u'\n');
  std::u16string link(Prefix(kind));
  link += encoded;
  return {Kind::kConverted, std::move(link), {}};
}

}  // namespace zentrova::links
