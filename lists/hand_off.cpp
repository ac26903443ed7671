#include "lists/hand_off.h"

#include <cstring>

#include "codec/code_page.h"
#include "codec/utf8.h"
#include "links/ascii_case.h"
#include "links/unsafe_characters.h"
#include "lists/file_names.h"
#include "lists/reading_choice.h"
#include "lists/this_machine.h"

namespace zentrova::lists {

using links::StartsWithNoCase;

using links::LinkKind;

using links::HexValue;

using links::FirstUnsafeCharacter;
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

// What a download is to the forms: a file from a server, a magnet, an ed2k link.
enum class Scheme { kFile, kMagnet, kEd2k };

Scheme DownloadKindOf(std::u16string_view address) {
  if (StartsWithNoCase(address, u"magnet:")) return Scheme::kMagnet;
  if (StartsWithNoCase(address, u"ed2k:")) return Scheme::kEd2k;
  return Scheme::kFile;
}

// Returns `segment` with its percent escapes turned into the characters they stand for; nothing
// when the escaped bytes are neither UTF-8 nor GBK.
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
      at += 2;
      run = at + 1;
      escaped = true;
    }
  }
  AppendUtf8(segment.substr(run), bytes);
  if (!escaped) return std::u16string(segment);
  auto utf8 = FromValidUtf8(bytes);
  // Escapes that make a character no one could see are kept as escapes, never read otherwise.
  if (utf8 && FirstUnsafeCharacter(*utf8)) return std::nullopt;
  auto gbk = codepage::FromValidNarrow(bytes);
  if (utf8 && gbk && ReadsBetterAsGbk(bytes, *utf8, *gbk)) return gbk;
  if (utf8) return utf8;
  return gbk;
}

bool IsSafeName(std::u16string_view name) {
  return !name.empty() && name != u"." && name != u".." &&
         name.find_first_of(u"/\\") == std::u16string_view::npos && !FirstUnsafeCharacter(name);
}

const char* KindName(std::optional<LinkKind> kind) {
  if (!kind) return "plain";
  switch (*kind) {
    case LinkKind::kThunder:
      return "thunder";
    case LinkKind::kFlashGet:
      return "flashget";
    case LinkKind::kQQWhirlwind:
      return "qqdl";
  }
  return "plain";
}

const char* ReadingName(Reading reading) {
  switch (reading) {
    case Reading::kAscii:
      return "ascii";
    case Reading::kUtf8:
      return "utf-8";
    case Reading::kCodePage:
      return "936";
    case Reading::kNone:
      break;
  }
  return nullptr;
}

// Appends `text` as a JSON string. Besides quotes, backslashes and control characters, U+2028
// and U+2029 are escaped, which JavaScript before ES2019 could not take inside a string.
template <typename Text>
void AppendJsonString(const Text& text, std::string& out) {
  std::string utf8;
  if constexpr (std::is_same_v<Text, std::u16string_view> || std::is_same_v<Text, std::u16string>) {
    AppendUtf8(text, utf8);
  } else {
    utf8 = text;
  }
  out += '"';
  for (std::size_t at = 0; at < utf8.size(); ++at) {
    const auto c = static_cast<unsigned char>(utf8[at]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      out += "\\u00";
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    } else if (c == 0xE2 && at + 2 < utf8.size() && utf8[at + 1] == '\x80' &&
               (utf8[at + 2] == '\xa8' || utf8[at + 2] == '\xa9')) {
      out += utf8[at + 2] == '\xa8' ? "\\u2028" : "\\u2029";
      at += 2;
    } else {
      out += static_cast<char>(c);
    }
  }
  out += '"';
}

template <typename Text>
void AppendJsonField(const char* name, const Text& value, std::string& out) {
  out += ",\"";
  out += name;
  out += "\":";
  AppendJsonString(value, out);
}

void AppendJsonNull(const char* name, std::string& out) {
  out += ",\"";
  out += name;
  out += "\":null";
}

constexpr std::uint64_t Rotated(std::uint64_t x, int by) { return (x << by) | (x >> (64 - by)); }

// MurmurHash3's finalizer: every bit of the input reaches every bit of the output.
constexpr std::uint64_t Mixed(std::uint64_t x) {
  x ^= x >> 33;
  x *= 0xff51afd7ed558ccdULL;
  x ^= x >> 33;
  x *= 0xc4ceb9fe1a85ec53ULL;
  return x ^ (x >> 33);
}

// Two independent 64-bit hashes of `bytes`, eight bytes at a time; a download is taken for
// another only when both agree.
std::pair<std::uint64_t, std::uint64_t> Hashes(std::string_view bytes) {
  std::uint64_t first = 0x9e3779b97f4a7c15ULL ^ bytes.size();
  std::uint64_t second = 0xc2b2ae3d27d4eb4fULL + bytes.size();
  std::size_t at = 0;
  const auto take = [&](std::uint64_t word) {
    first = Rotated((first ^ word) * 0x87c37b91114253d5ULL, 31) * 5 + 0x52dce729;
    second = Rotated((second ^ word) * 0x4cf5ad432745937fULL, 33) * 5 + 0x38495ab5;
  };
  for (; at + 8 <= bytes.size(); at += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes.data() + at, 8);
    take(word);
  }
  std::uint64_t last = 0;
  std::memcpy(&last, bytes.data() + at, bytes.size() - at);
  take(last);
  return {Mixed(first), Mixed(second) | 1};  // never {_, 0}: that marks an empty slot
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

// Marks a note's words as a sentence of the catalogue.
constexpr const char* Note(const char* english) { return english; }

}  // namespace

std::string DownloaderUri(std::string_view bytes) {
  std::string uri;
  uri.reserve(bytes.size() + 16);
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
  return uri;
}

std::optional<std::u16string> ReadableName(std::u16string_view address) {
  if (DownloadKindOf(address) != Scheme::kFile) return std::nullopt;
  const std::size_t authority = address.find(u"://");
  if (authority == std::u16string_view::npos) return std::nullopt;
  std::u16string_view rest = address.substr(authority + 3);
  rest = rest.substr(0, rest.find_first_of(u"?#"));
  const std::size_t slash = rest.find(u'/');
  if (slash == std::u16string_view::npos) return std::nullopt;
  const std::u16string_view segment = rest.substr(rest.rfind(u'/') + 1);
  auto name = Unescaped(segment);
  // An escape that makes a folder or an unseen character is kept as the escape it is.
  if (!name || !IsSafeName(*name)) name = std::u16string(segment);
  if (!IsSafeName(*name)) return std::nullopt;
  return SafeFileName(*name);
}

bool ReachesThisMachine(std::u16string_view address, std::string_view uri) {
  return IsOnThisMachine(address) || IsOnThisMachine(HostPartOf(uri));
}

std::optional<HandOffForm> HandOffFormNamed(std::string_view name) {
  if (name == "lines") return HandOffForm::kLines;
  if (name == "aria2") return HandOffForm::kAria2;
  if (name == "ef2") return HandOffForm::kEf2;
  if (name == "json") return HandOffForm::kJson;
  return std::nullopt;
}

bool FormHolds(HandOffForm form, ListMode mode) {
  return mode == ListMode::kDecode || form == HandOffForm::kLines || form == HandOffForm::kJson;
}

HandOff::HandOff(HandOffForm form, ListMode mode) : form_(form), mode_(mode) {}

bool HandOff::Remembered(const Table& table, const Key& key) {
  if (table.slots.empty()) return false;
  for (std::size_t at = key.first & (table.slots.size() - 1); table.slots[at].second != 0;
       at = (at + 1) & (table.slots.size() - 1)) {
    if (table.slots[at] == key) return true;
  }
  return false;
}

void HandOff::Remember(Table& table, const Key& key) {
  std::size_t at = key.first & (table.slots.size() - 1);
  while (table.slots[at].second != 0) at = (at + 1) & (table.slots.size() - 1);
  table.slots[at] = key;
  ++table.count;
}

bool HandOff::FirstTime(std::string_view uri) {
  const Key key = Hashes(uri);
  if (Remembered(recent_, key) || Remembered(older_, key)) return false;
  if (recent_.count == kGeneration) {
    // The older downloads are forgotten, so that memory stays the same however long the list:
    // a repeat is found as long as fewer than kGeneration other downloads came between.
    older_ = std::move(recent_);
    recent_ = {};
  }
  if ((recent_.count + 1) * 2 > recent_.slots.size()) {
    Table grown;
    grown.slots.resize(std::max<std::size_t>(1024, recent_.slots.size() * 2));
    for (const Key& kept : recent_.slots) {
      if (kept.second != 0) Remember(grown, kept);
    }
    recent_ = std::move(grown);
  }
  Remember(recent_, key);
  return true;
}

std::optional<std::string> HandOff::Append(long number, const LineResult& result,
                                           std::string& out) {
  using Kind = LineResult::Kind;
  const bool ok = result.kind == Kind::kConverted || result.kind == Kind::kPassedThrough;
  switch (form_) {
    case HandOffForm::kLines:
      if (ok) AppendUtf8(result.text, out);
      out += '\n';
      return std::nullopt;
    case HandOffForm::kJson:
      out += "{\"line\":";
      out += std::to_string(number);
      if (result.kind == Kind::kFailed) {
        AppendJsonField("error", Reason(result), out);
      } else if (ok && mode_ == ListMode::kDecode) {
        AppendJsonField("address", result.text, out);
        AppendJsonField("uri", DownloaderUri(result.bytes), out);
        if (const auto name = ReadableName(result.text)) {
          AppendJsonField("name", *name, out);
        } else {
          AppendJsonNull("name", out);
        }
        if (result.linkKind) {
          AppendJsonField("link", result.link, out);
        } else {
          AppendJsonNull("link", out);
        }
        AppendJsonField("kind", std::string(KindName(result.linkKind)), out);
      } else if (ok) {
        AppendJsonField("address", result.address, out);
        AppendJsonField("link", result.text, out);
        AppendJsonField("kind", std::string(KindName(result.linkKind)), out);
      }
      if (ok) {
        if (const char* reading = ReadingName(result.reading)) {
          AppendJsonField("charset", std::string(reading), out);
        } else {
          AppendJsonNull("charset", out);
        }
      }
      out += "}\n";
      return std::nullopt;
    case HandOffForm::kAria2:
    case HandOffForm::kEf2:
      break;
  }
  if (!ok) return std::nullopt;
  const Scheme scheme = DownloadKindOf(result.text);
  if (form_ == HandOffForm::kAria2 && scheme == Scheme::kEd2k) {
    return Note("aria2 cannot download the ed2k address; left out");
  }
  if (form_ == HandOffForm::kEf2 && scheme != Scheme::kFile) {
    return Note("IDM's export holds only http, https and ftp addresses; left out");
  }
  std::string uri = DownloaderUri(result.bytes);
  // The downloader fetches from where it runs, past every protection a browser gives a page: a
  // posted list could make it drive a service that listens only there (aria2's own JSON-RPC
  // answers GET requests). Both the address read and the one the downloader is given count.
  if (ReachesThisMachine(result.text, uri)) {
    return Note(
        "the address names this machine, which a downloader would reach past the protections "
        "a browser gives; left out");
  }
  if (!FirstTime(uri)) return std::nullopt;
  if (form_ == HandOffForm::kEf2) {
    out += "<\r\n";
    out += uri;
    out += "\r\n>\r\n";
    return std::nullopt;
  }
  out += uri;
  out += '\n';
  if (const auto name = ReadableName(result.text)) {
    out += "  out=";
    AppendUtf8(*name, out);
    out += '\n';
  }
  return std::nullopt;
}

}  // namespace zentrova::lists
