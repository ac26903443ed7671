#include "lists/found_links.h"

#include <algorithm>
#include <array>
#include <optional>

#include "codec/base64_transform.h"
#include "codec/code_page.h"
#include "codec/utf8.h"
#include "links/ascii_case.h"
#include "links/filled_in.h"
#include "links/unsafe_characters.h"
#include "lists/reading_choice.h"

namespace zentrova::lists {

using links::UnsafeCharacter;

using links::StartsWithNoCase;

using links::Prefix;

using links::Lower;

using links::LinkKind;

using links::HexValue;

using links::FirstUnsafeUtf8Character;

using links::FirstUnsafeCharacter;

using links::FilledIn;
namespace {

using Kind = LineResult::Kind;

constexpr std::array<std::u16string_view, 5> kPlainSchemes = {u"http://", u"https://", u"ftp://",
                                                              u"ed2k://", u"magnet:?"};
// A link inside a link is opened again; real lists nest two or three deep.
constexpr int kMostLayers = 8;

// Blanks as text copied from web pages has them: besides spaces, tabs and line ends, the
// ideographic space, the no-break space, the zero-width space and a stray byte-order mark.
bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == 0x3000 || c == 0x00A0 ||
         c == 0x200B || c == 0xFEFF;
}

std::u16string_view Trimmed(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Base64's letters by their code, looked up rather than compared: lists measure every link.
constexpr std::array<bool, 128> kBase64Letters = [] {
  std::array<bool, 128> letters{};
  for (char16_t c = 0; c < 128; ++c) {
    letters[c] = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
                 c == u'+' || c == u'/';
  }
  return letters;
}();

bool IsBase64Letter(char16_t c) { return c < 128 && kBase64Letters[c]; }

// The Base64 text at the start of `text`: its letters, then its run of "=", which ends it
// (text glued to the padding is not the link's). Without padding, a final "/" that no encoder
// could have written ends it too: browsers, forums and Markdown add one to a link, and a "/"
// that leaves a group of one, two or three letters is never Base64's own (its bits would not
// fit the text's end).
template <typename Char>
std::basic_string_view<Char> Base64TextOf(std::basic_string_view<Char> text) {
  std::size_t end = 0;
  while (end < text.size() && IsBase64Letter(static_cast<char16_t>(text[end]))) ++end;
  std::size_t padded = end;
  while (padded < text.size() && text[padded] == Char('=')) ++padded;
  if (padded > end) return text.substr(0, padded);
  while (end > 0 && text[end - 1] == Char('/') && end % 4 != 0) --end;
  return text.substr(0, end);
}

// `text` (Base64 letters, then "=") with only the padding its letters need: tools that posted
// real links wrote one "=" too many, and every lenient decoder reads past it, as lists do past
// padding left off. Letters that cannot end a text keep their padding, and fail as they are.
template <typename Char>
std::basic_string_view<Char> WithoutSurplusPadding(std::basic_string_view<Char> text) {
  const std::size_t letters = text.find(Char('='));
  if (letters == std::basic_string_view<Char>::npos) return text;
  const std::size_t needed[] = {0, 0, 2, 1};
  if (letters % 4 == 1) return text;
  return text.substr(0, std::min(text.size(), letters + needed[letters % 4]));
}

// An address ends where text around it begins: at a blank, a quote or an angle bracket.
bool EndsAddress(char16_t c) {
  return IsBlank(c) || c == u'"' || c == u'\'' || c == u'<' || c == u'>';
}

struct Found {
  std::size_t at;
  std::u16string_view prefix;
};

// Returns where the earliest of `prefixes` (each in lower case) starts in `text`, in any
// letter case.
template <std::size_t N>
std::optional<Found> FindFirst(std::u16string_view text,
                               const std::array<std::u16string_view, N>& prefixes) {
  for (std::size_t at = 0; at < text.size(); ++at) {
    const char16_t first = Lower(text[at]);
    for (const std::u16string_view prefix : prefixes) {
      if (first == prefix[0] && StartsWithNoCase(text.substr(at), prefix)) return Found{at, prefix};
    }
  }
  return std::nullopt;
}

const std::array<std::u16string_view, 3> kSpecialPrefixes = {
    Prefix(LinkKind::kThunder), Prefix(LinkKind::kFlashGet), Prefix(LinkKind::kQQWhirlwind)};

// The same links as they stand inside URLs, JSON and query strings, percent-encoded; found
// together with the plain ones, whichever comes first.
const std::array<std::u16string_view, 6> kFoundPrefixes = {
    kSpecialPrefixes[0], kSpecialPrefixes[1],  kSpecialPrefixes[2],
    u"thunder%3a%2f%2f", u"flashget%3a%2f%2f", u"qqdl%3a%2f%2f"};
constexpr std::u16string_view kEncodedSeparator = u"%3a%2f%2f";

// Rewrites the percent-encoded link at the start of `text` ("thunder%3A%2F%2F…") as it was
// before it was encoded, as far as it can be a link: its prefix and its Base64 text, escapes
// inside that text decoded ("%2B", "%2F", "%3D"); a space ("%20") is dropped, as the decoder
// skips it anyway. The address inside is never touched: it is still Base64 here.
std::u16string UnescapedLink(std::u16string_view text, std::u16string_view encodedPrefix,
                             std::u16string_view plainPrefix) {
  std::u16string link(plainPrefix);
  for (std::size_t at = encodedPrefix.size(); at < text.size(); ++at) {
    char16_t c = text[at];
    if (c == u'%' && at + 2 < text.size() && HexValue(text[at + 1]) >= 0 &&
        HexValue(text[at + 2]) >= 0) {
      c = static_cast<char16_t>(HexValue(text[at + 1]) * 16 + HexValue(text[at + 2]));
      at += 2;
      if (c == u' ') continue;
      if (!IsBase64Letter(c) && c != u'=') break;
    } else if (!IsBase64Letter(c) && c != u'=') {
      break;
    }
    link += c;
  }
  return link;
}

LinkKind KindOf(std::u16string_view prefix) {
  for (const LinkKind kind : {LinkKind::kThunder, LinkKind::kFlashGet, LinkKind::kQQWhirlwind}) {
    if (Prefix(kind) == prefix) return kind;
  }
  return LinkKind::kQQWhirlwind;
}

// Returns the text that a link's bytes stand for, and sets `reading` to the reading that made
// it; nothing when UTF-8 is asked for and they are not UTF-8.
std::optional<std::u16string> Read(std::string_view bytes, Charset charset, Reading& reading) {
  reading = Reading::kCodePage;
  if (charset == Charset::kCodePage) return codepage::FromNarrow(bytes);
  if (charset == Charset::kAuto && codepage::IsAscii(bytes)) {
    reading = Reading::kAscii;
    return codepage::FromNarrow(bytes);
  }
  auto utf8 = FromValidUtf8(bytes);
  if (!utf8 && charset == Charset::kAuto) return codepage::FromNarrow(bytes);
  // UTF-8 that holds CJK is UTF-8: no other reading need be made.
  if (!utf8 || charset == Charset::kUtf8 || HoldsCjk(*utf8)) {
    reading = Reading::kUtf8;
    return utf8;
  }
  std::u16string gbk = codepage::FromNarrow(bytes);
  if (ReadsBetterAsGbk(bytes, *utf8, gbk)) return gbk;
  reading = Reading::kUtf8;
  return utf8;
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

// The bytes of the address inside a decoded payload: Thunder's "AA" and "ZZ" taken off, and
// FlashGet's "[FLASHGET]" on either side. They come off the bytes, before any reading: read as
// GBK, the last byte of a UTF-8 character and the "Z" after it can make one character.
std::optional<std::string_view> AddressBytes(std::string_view bytes, LinkKind kind) {
  switch (kind) {
    case LinkKind::kThunder:
      if (bytes.size() < 4 || !bytes.starts_with("AA") || !bytes.ends_with("ZZ")) return {};
      return bytes.substr(2, bytes.size() - 4);
    case LinkKind::kFlashGet: {
      constexpr std::string_view kWrap = "[flashget]";
      if (StartsWithNoCase(bytes, kWrap)) bytes.remove_prefix(kWrap.size());
      if (bytes.size() >= kWrap.size() &&
          StartsWithNoCase(bytes.substr(bytes.size() - kWrap.size()), kWrap)) {
        bytes.remove_suffix(kWrap.size());
      }
      return bytes;
    }
    case LinkKind::kQQWhirlwind:
      break;
  }
  return bytes;
}

// Opens one special link that starts `text` (its prefix already found; Base64's letters are
// ASCII, so a link read as text and one kept as its bytes open alike); returns what it holds.
template <typename Char>
LineResult OpenLayer(std::basic_string_view<Char> text, std::u16string_view prefix,
                     Charset charset) {
  // What follows the Base64 text ("&…", a quote, other text) is not the link's.
  const std::basic_string_view<Char> payload = Base64TextOf(text.substr(prefix.size()));
  if (payload.empty()) return Failure("the link holds no Base64 text");
  base64::Decoder decoder;
  std::string bytes;
  auto failure = decoder.Feed(WithoutSurplusPadding(payload), bytes);
  if (!failure) failure = decoder.Finish(bytes);
  if (failure) return Failure("the link's Base64 text is not valid");
  const auto address = AddressBytes(bytes, KindOf(prefix));
  if (!address) return Failure("the Thunder link lacks its AA…ZZ wrapper");
  LineResult result{.kind = Kind::kConverted};
  auto read = Read(*address, charset, result.reading);
  if (!read) return Failure("the link's bytes are not UTF-8");
  result.text = std::move(*read);
  // The wrapper comes off where the bytes lie: a copy of a long address would cost its length.
  const std::size_t from = static_cast<std::size_t>(address->data() - bytes.data());
  bytes.resize(from + address->size());
  bytes.erase(0, from);
  result.bytes = std::move(bytes);
  return result;
}

// A failure for the first control, invisible or direction character of `address`, if it holds
// one; the character is named, as it cannot be seen.
std::optional<LineResult> Refused(const std::optional<UnsafeCharacter>& unsafe) {
  if (!unsafe) return std::nullopt;
  if (unsafe->kind == UnsafeCharacter::Kind::kControl) {
    return Failure("the address holds the control character {0}", CodePointName(unsafe->value));
  }
  return Failure("the address holds the invisible or direction character {0}",
                 CodePointName(unsafe->value));
}

std::optional<LineResult> UnsafeCharacterIn(std::u16string_view address) {
  return Refused(FirstUnsafeCharacter(address));
}

// The same for what the address's bytes say read as UTF-8, when another reading made its text:
// the downloader is handed those bytes escaped, and whatever reads them as UTF-8 (the server,
// the file system, a download manager naming the file) shows what they encode there.
std::optional<LineResult> UnsafeCharacterIn(const LineResult& result) {
  if (auto failure = UnsafeCharacterIn(result.text)) return failure;
  if (result.reading != Reading::kCodePage) return std::nullopt;
  return Refused(FirstUnsafeUtf8Character(result.bytes));
}

// Downloaders take these; any other scheme (javascript:, data:, file:) is no download.
constexpr std::array<std::u16string_view, 5> kDownloadSchemes = {u"http", u"https", u"ftp", u"ed2k",
                                                                 u"magnet"};

bool IsDownloadScheme(std::u16string_view scheme) {
  return std::any_of(kDownloadSchemes.begin(), kDownloadSchemes.end(),
                     [&](std::u16string_view known) {
                       return scheme.size() == known.size() && StartsWithNoCase(scheme, known);
                     });
}

// A scheme as a message shows it: a long one cut short.
std::string ShownScheme(std::u16string_view scheme) {
  constexpr std::size_t kLongest = 24;
  if (scheme.size() <= kLongest) return ToUtf8(scheme);
  return ToUtf8(scheme.substr(0, kLongest)) + "…";
}

// The first half of a surrogate pair in `text` that has no other half, if any.
std::optional<char16_t> LoneSurrogateIn(std::u16string_view text) {
  for (std::size_t at = 0; at < text.size(); ++at) {
    const char16_t c = text[at];
    if (c >= 0xD800 && c < 0xDC00 && at + 1 < text.size() && text[at + 1] >= 0xDC00 &&
        text[at + 1] < 0xE000) {
      ++at;
    } else if (c >= 0xD800 && c < 0xE000) {
      return c;
    }
  }
  return std::nullopt;
}

}  // namespace

LineResult Failure(std::string why, std::string detail) {
  return {Kind::kFailed, {}, std::move(why), std::move(detail)};
}

std::string Reason(const LineResult& result) { return FilledIn(result.why, {result.detail}); }

std::string Reason(const LineResult& result, const Translation& translate) {
  return FilledIn(translate(result.why), {result.detail});
}

namespace {

// Keeps only [from, from + size) of `text`, in place.
void KeepOnly(std::u16string& text, std::size_t from, std::size_t size) {
  text.resize(from + size);
  text.erase(0, from);
}

// Opens the line `line`; where `owned` holds it (the caller's own copy, which it gives up), the
// result is made in that memory rather than in copies: a line near the lists' limit is tens of
// megabytes, and a copy of it as text twice that.
LineResult Opened(std::u16string_view line, std::u16string* owned, Charset charset) {
  const std::u16string_view text = Trimmed(line);
  if (text.empty()) return {};
  const std::size_t textAt = static_cast<std::size_t>(text.data() - line.data());
  const auto found = FindFirst(text, kFoundPrefixes);
  if (!found) {
    for (const std::u16string_view scheme : kPlainSchemes) {
      if (StartsWithNoCase(text, scheme)) {
        if (auto failure = UnsafeCharacterIn(text)) return *failure;
        // An address as the page showed it: a downloader gets it in UTF-8, as a browser sends it.
        LineResult result{.kind = Kind::kPassedThrough, .bytes = ToUtf8(text)};
        if (owned) {
          KeepOnly(*owned, textAt, text.size());
          result.text = std::move(*owned);
        } else {
          result.text = std::u16string(text);
        }
        return result;
      }
    }
    return Failure("the line holds no special link");
  }
  LineResult result;
  // The link as found: its prefix and its Base64 text, without what followed them.
  std::u16string link;
  std::u16string_view prefix = found->prefix;
  if (found->prefix.ends_with(kEncodedSeparator)) {
    prefix = *std::find_if(kSpecialPrefixes.begin(), kSpecialPrefixes.end(),
                           [&](std::u16string_view plain) {
                             return found->prefix.starts_with(plain.substr(0, plain.size() - 3));
                           });
    link = UnescapedLink(text.substr(found->at), found->prefix, prefix);
    link.resize(prefix.size() +
                Base64TextOf(std::u16string_view(link).substr(prefix.size())).size());
    if (owned) std::u16string().swap(*owned);  // swapped: an assignment keeps the memory
  } else {
    const std::u16string_view rest = text.substr(found->at);
    const std::size_t size = prefix.size() + Base64TextOf(rest.substr(prefix.size())).size();
    if (owned) {
      KeepOnly(*owned, textAt + found->at, size);
      link = std::move(*owned);
    } else {
      link = rest.substr(0, size);
    }
  }
  // Kept as its bytes, which are ASCII: the text of a link near the lists' limit would hold
  // twice its length while the payload is read.
  std::string linkBytes(link.begin(), link.end());
  std::u16string().swap(link);
  result = OpenLayer(std::string_view(linkBytes), prefix, charset);
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
  const std::u16string_view scheme = SchemeOf(result.text);
  if (scheme.empty()) return Failure("the link does not hold an address");
  if (!IsDownloadScheme(scheme)) {
    return Failure(
        "the link holds a '{0}:' address, which is none of http, https, ftp, ed2k "
        "and magnet",
        ShownScheme(scheme));
  }
  if (auto failure = UnsafeCharacterIn(result)) return *failure;
  result.link = std::move(linkBytes);
  result.linkKind = KindOf(prefix);
  return result;
}

}  // namespace

LineResult OpenFoundLink(std::u16string_view line, Charset charset) {
  return Opened(line, nullptr, charset);
}

LineResult OpenFoundLinkInPlace(std::u16string&& line, Charset charset) {
  return Opened(line, &line, charset);
}

bool IsSpecialLink(std::u16string_view text) {
  text = Trimmed(text);
  return std::any_of(kFoundPrefixes.begin(), kFoundPrefixes.end(),
                     [&](std::u16string_view prefix) { return StartsWithNoCase(text, prefix); });
}

LineResult MakeFoundLink(LinkKind kind, std::u16string_view line, Charset charset) {
  const std::u16string_view text = Trimmed(line);
  if (text.empty()) return {};
  const auto found = FindFirst(text, kPlainSchemes);
  if (!found) return Failure("the line holds no plain address");
  // A line that is an address is the address as a whole, spaces and all, as the window takes
  // it; an address inside other text ends where that text begins.
  std::u16string_view address = text.substr(found->at);
  if (found->at > 0) {
    std::size_t end = 0;
    while (end < address.size() && !EndsAddress(address[end])) ++end;
    address = address.substr(0, end);
  }

  std::string bytes;
  if (charset == Charset::kUtf8) {
    // Half of a pair, which pasted text can hold, is no character: UTF-8 would write U+FFFD.
    if (const auto lone = LoneSurrogateIn(address)) {
      return Failure("UTF-8 cannot hold the lone surrogate {0}", CodePointName(*lone));
    }
    bytes = ToUtf8(address);
  } else {
    const std::u32string lost = codepage::Unrepresentable(address);
    if (!lost.empty()) {
      return Failure("code page 936 cannot hold {0} (--charset utf-8 keeps it)",
                     CodePointName(lost[0]));
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
  return {.kind = Kind::kConverted,
          .text = std::move(link),
          .address = std::u16string(address),
          .linkKind = kind,
          .reading = codepage::IsAscii(address)  ? Reading::kAscii
                     : charset == Charset::kUtf8 ? Reading::kUtf8
                                                 : Reading::kCodePage};
}

}  // namespace zentrova::lists
