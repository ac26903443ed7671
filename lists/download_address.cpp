#include "lists/download_address.h"

#include "codec/code_page.h"
#include "codec/utf8.h"
#include "links/ascii_case.h"
#include "links/unsafe_characters.h"
#include "lists/file_names.h"
#include "lists/reading_choice.h"
#include "lists/this_machine.h"

namespace zentrova::lists {

using links::FirstUnsafeCharacter;
using links::HexValue;
using links::StartsWithNoCase;

namespace {

// The UTF-8 reading of `bytes` where only some of them are UTF-8: each valid sequence as its
// character, each byte in none as the escape it came in ("%8F"). Sets `good` to the number of
// valid sequences beyond ASCII and `bad` to the number of bytes in none.
std::u16string LenientUtf8(std::string_view bytes, int& good, int& bad) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::u16string text;
  good = 0;
  bad = 0;
  for (std::size_t at = 0; at < bytes.size();) {
    const auto byte = static_cast<unsigned char>(bytes[at]);
    const std::optional<Utf8Character> character =
        byte < 0x80 ? std::optional(Utf8Character{byte, 1}) : FirstUtf8Character(bytes.substr(at));
    if (character) {
      if (character->length > 1) ++good;
      text += FromUtf8(bytes.substr(at, character->length));
      at += character->length;
      continue;
    }
    // Only an escape can make a byte that is in no sequence: the rest is a character's UTF-8.
    ++bad;
    text += {u'%', static_cast<char16_t>(kHex[byte >> 4]), static_cast<char16_t>(kHex[byte & 0xF])};
    ++at;
  }
  return text;
}

// Returns `segment` with its percent escapes turned into the characters they stand for; nothing
// when it holds none (it is its own reading then) or when the escaped bytes are neither UTF-8 nor
// GBK. Where one escape is damaged and the rest is
// UTF-8, the broken bytes stay escapes and do not make the whole name another reading.
std::optional<std::u16string> Unescaped(std::u16string_view segment) {
  std::string bytes;
  bool escaped = false;
  std::size_t run = 0;  // where the characters since the last escape begin
  for (std::size_t at = 0; at < segment.size(); ++at) {
    if (segment[at] == u'%' && at + 2 < segment.size() && HexValue(segment[at + 1]) >= 0 &&
        HexValue(segment[at + 2]) >= 0) {
      // The characters before it go whole, so that a pair of surrogates stays one character.
      AppendUtf8(segment.substr(run, at - run), bytes);
      bytes += static_cast<char>(HexValue(segment[at + 1]) * 16 + HexValue(segment[at + 2]));
      escaped = true;
      at += 2;
      run = at + 1;
    }
  }
  if (!escaped) return std::nullopt;
  AppendUtf8(segment.substr(run), bytes);
  auto utf8 = FromValidUtf8(bytes);
  // Escapes that make a character no one could see are kept as escapes, never read otherwise.
  if (utf8 && FirstUnsafeCharacter(*utf8)) return std::nullopt;
  auto gbk = codepage::FromValidNarrow(bytes);
  if (utf8 && gbk && ReadsBetterAsGbk(bytes, *utf8, *gbk)) return gbk;
  if (utf8) return utf8;
  int good = 0;
  int bad = 0;
  std::u16string partly = LenientUtf8(bytes, good, bad);
  if (good > bad || (!gbk && good > 0)) {
    if (FirstUnsafeCharacter(partly)) return std::nullopt;
    return partly;
  }
  return gbk;
}

// The name field of an ed2k file link (ed2k://|file|NAME|SIZE|HASH|/), as it stands; nothing
// for other ed2k links. Links escaped whole ("ed2k://%7Cfile%7C…") have their bars escaped too.
std::optional<std::u16string> Ed2kFileName(std::u16string_view address) {
  std::u16string_view rest = address.substr(address.find(u':') + 1);
  while (rest.starts_with(u'/')) rest.remove_prefix(1);
  std::u16string fields;
  if (StartsWithNoCase(rest, u"%7c")) {
    for (std::size_t at = 0; at < rest.size(); ++at) {
      if (rest[at] == u'%' && StartsWithNoCase(rest.substr(at), u"%7c")) {
        fields += u'|';
        at += 2;
      } else {
        fields += rest[at];
      }
    }
    rest = fields;
  }
  constexpr std::u16string_view kFile = u"|file|";
  if (!StartsWithNoCase(rest, kFile)) return std::nullopt;
  rest.remove_prefix(kFile.size());
  const std::size_t bar = rest.find(u'|');
  if (bar == std::u16string_view::npos) return std::nullopt;
  return std::u16string(rest.substr(0, bar));
}

bool IsSafeName(std::u16string_view name) {
  return !name.empty() && name != u"." && name != u".." &&
         name.find_first_of(u"/\\") == std::u16string_view::npos && !FirstUnsafeCharacter(name);
}

// The start of the URI `uri` (ASCII) up to the end of its host, as text: all that tells where
// it leads, without copying a long path.
std::u16string HostPartOf(std::string_view uri) {
  const std::size_t scheme = uri.find(':');
  const std::size_t host =
      scheme == std::string_view::npos ? uri.size() : uri.find_first_not_of("/\\", scheme + 1);
  const std::string_view part = uri.substr(0, uri.find_first_of("/\\?#", host));
  return std::u16string(part.begin(), part.end());
}

}  // namespace

DownloadKind DownloadKindOf(std::u16string_view address) {
  if (StartsWithNoCase(address, u"magnet:")) return DownloadKind::kMagnet;
  if (StartsWithNoCase(address, u"ed2k:")) return DownloadKind::kEd2k;
  return DownloadKind::kFile;
}

std::string DownloaderUri(std::string_view bytes) {
  // Sized first: a long address of escapes grows to three times its bytes, and growing there a
  // step at a time would hold the old and the new copy at once.
  std::size_t size = 0;
  for (const char c : bytes) size += c > 0x20 && c < 0x7F ? 1 : 3;
  std::string uri;
  uri.reserve(size);
  AppendDownloaderUri(bytes, uri);
  return uri;
}

void AppendDownloaderUri(std::string_view bytes, std::string& uri) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  while (!bytes.empty()) {
    // Most of an address stands as it is: a run at a time.
    std::size_t run = 0;
    while (run < bytes.size() && bytes[run] > 0x20 && bytes[run] < 0x7F) ++run;
    uri.append(bytes.substr(0, run));
    if (run == bytes.size()) break;
    const auto c = static_cast<unsigned char>(bytes[run]);
    const char escape[3] = {'%', kHex[c >> 4], kHex[c & 0xF]};
    uri.append(escape, 3);
    bytes.remove_prefix(run + 1);
  }
}

std::optional<std::u16string> ReadableName(std::u16string_view address) {
  // A view into the address where it can be: a name can be as long as the line.
  std::u16string ed2kName;
  std::u16string_view segment;
  switch (DownloadKindOf(address)) {
    case DownloadKind::kMagnet:
      return std::nullopt;
    case DownloadKind::kEd2k: {
      auto name = Ed2kFileName(address);
      if (!name) return std::nullopt;
      ed2kName = std::move(*name);
      segment = ed2kName;
      break;
    }
    case DownloadKind::kFile: {
      const std::size_t authority = address.find(u"://");
      if (authority == std::u16string_view::npos) return std::nullopt;
      std::u16string_view rest = address.substr(authority + 3);
      rest = rest.substr(0, rest.find_first_of(u"?#"));
      const std::size_t slash = rest.find(u'/');
      if (slash == std::u16string_view::npos) return std::nullopt;
      segment = rest.substr(rest.rfind(u'/') + 1);
      break;
    }
  }
  // An escape that makes a folder or an unseen character is kept as the escape it is.
  const auto unescaped = Unescaped(segment);
  const std::u16string_view name = unescaped && IsSafeName(*unescaped) ? *unescaped : segment;
  if (!IsSafeName(name)) return std::nullopt;
  return SafeFileName(name);
}

bool ReachesThisMachine(std::u16string_view address, std::string_view uri,
                        const ThisMachine& machine) {
  if (machine.Reaches(address)) return true;
  // A magnet's and an ed2k link's hosts stand after their first part: the whole URI is read.
  if (DownloadKindOf(address) != DownloadKind::kFile) {
    return machine.Reaches(std::u16string(uri.begin(), uri.end()));
  }
  return machine.Reaches(HostPartOf(uri));
}

}  // namespace zentrova::lists
