#include "lists/hand_off_forms.h"

#include <algorithm>

#include "codec/utf8.h"
#include "lists/json_text.h"

namespace zentrova::lists {

using links::LinkKind;

namespace {

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

void AppendName(const char* name, std::string& out) {
  out += ",\"";
  out += name;
  out += "\":";
}

template <typename Text>
void AppendField(const char* name, const Text& value, std::string& out) {
  AppendName(name, out);
  AppendJsonString(value, out);
}

// A field that may be as long as the line: written in pieces.
template <typename Char>
void AppendLongField(const char* name, std::basic_string_view<Char> value, std::string& out,
                     const Spill& spill) {
  AppendName(name, out);
  AppendJsonString(value, out, spill);
}

// A field whose value may be missing: null then.
template <typename Text>
void AppendField(const char* name, const std::optional<Text>& value, std::string& out) {
  AppendName(name, out);
  if (value) {
    AppendJsonString(*value, out);
  } else {
    out += "null";
  }
}

std::optional<std::string_view> Named(const char* name) {
  if (!name) return std::nullopt;
  return std::string_view(name);
}

// Room in `out` for `more` bytes, grown geometrically: a long entry is given its room once, and
// is not moved whole into a buffer twice its size by what follows it.
void MakeRoom(std::size_t more, std::string& out) {
  if (out.capacity() < out.size() + more)
    out.reserve(std::max(out.size() + more, out.capacity() * 2));
}

// The bytes a download's JSON entry takes, escapes in names and controls aside: its address
// (UTF-8 takes at most three bytes a unit, two for a unit of a pair), its URI, its link and the
// rest, a name of at most 255 bytes among it.
std::size_t JsonSizeOf(const LineResult& result) {
  std::size_t size = 1024;
  for (const char16_t c : result.text) size += c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
  for (const char c : result.bytes) size += c > 0x20 && c < 0x7F ? 1 : 3;
  return size + result.link.size();
}

// Text that needs no escape, as it stands.
void AppendText(std::string_view text, std::string& out, const Spill& spill) {
  InPieces(text, out, spill, [&](std::string_view piece) { out += piece; });
}

// DownloaderUri(bytes), made and written a piece at a time.
void AppendUri(std::string_view bytes, std::string& out, const Spill& spill) {
  InPieces(bytes, out, spill, [&](std::string_view piece) { AppendDownloaderUri(piece, out); });
}

// The URI's JSON string straight from the bytes: a URI holds only printable ASCII, which needs
// no escape but for a quote and a backslash; one that holds either is written through its copy.
void AppendUriField(std::string_view bytes, std::string& out, const Spill& spill) {
  if (bytes.find_first_of("\"\\") != std::string_view::npos) {
    AppendLongField("uri", std::string_view(DownloaderUri(bytes)), out, spill);
    return;
  }
  AppendName("uri", out);
  out += '"';
  AppendUri(bytes, out, spill);
  out += '"';
}

// A download: its address, the URI a downloader is given, the file's name and the link it came
// from.
void AppendDecodedFields(const LineResult& result, std::string& out, const Spill& spill) {
  if (!spill) MakeRoom(JsonSizeOf(result), out);
  AppendLongField("address", std::u16string_view(result.text), out, spill);
  AppendUriField(result.bytes, out, spill);
  AppendField("name", ReadableName(result.text), out);
  if (result.linkKind) {
    AppendLongField("link", std::string_view(result.link), out, spill);
  } else {
    AppendField("link", std::optional<std::string_view>(), out);
  }
}

// A link made: the address it was made of and the link.
void AppendMadeFields(const LineResult& result, std::string& out, const Spill& spill) {
  AppendLongField("address", std::u16string_view(result.address), out, spill);
  AppendLongField("link", std::u16string_view(result.text), out, spill);
}

}  // namespace

void AppendLinesEntry(const LineResult& result, std::string& out, const Spill& spill,
                      std::string_view tail) {
  if (HoldsAddress(result)) {
    // Room for the line end too: AppendUtf8 makes room for the address alone.
    if (!spill) MakeRoom(result.text.size() + 1, out);
    InPieces(std::u16string_view(result.text), out, spill,
             [&](std::u16string_view piece) { AppendUtf8(piece, out); });
  }
  out += tail;
  out += '\n';
}

void AppendJsonEntry(long number, const LineResult& result, ListMode mode, std::string& out,
                     const Spill& spill, std::string_view members) {
  out += "{\"line\":";
  out += std::to_string(number);
  if (result.kind == LineResult::Kind::kFailed) {
    AppendField("error", std::string_view(Reason(result)), out);
  } else if (HoldsAddress(result)) {
    if (mode == ListMode::kDecode) {
      AppendDecodedFields(result, out, spill);
    } else {
      AppendMadeFields(result, out, spill);
    }
    AppendField("kind", std::string_view(KindName(result.linkKind)), out);
    AppendField("charset", Named(ReadingName(result.reading)), out);
  }
  out += members;
  out += "}\n";
}

std::optional<std::string> LeftOutOf(HandOffForm form, DownloadKind kind) {
  if (form == HandOffForm::kAria2 && kind == DownloadKind::kEd2k) {
    return Note("aria2 cannot download the ed2k address; left out");
  }
  if (form == HandOffForm::kEf2 && kind != DownloadKind::kFile) {
    return Note("IDM's export holds only http, https and ftp addresses; left out");
  }
  return std::nullopt;
}

void AppendAria2Entry(const Download& download, std::string& out, const Spill& spill) {
  // The name takes at most 255 bytes (SafeFileName).
  if (!spill) {
    MakeRoom(download.uri.size() + (download.name ? 3 * download.name->size() + 8 : 0) + 1, out);
  }
  AppendText(download.uri, out, spill);
  out += '\n';
  if (download.name) {
    out += "  out=";
    AppendUtf8(*download.name, out);
    out += '\n';
  }
}

void AppendEf2Entry(const Download& download, std::string& out, const Spill& spill) {
  if (!spill) MakeRoom(download.uri.size() + 7, out);
  out += "<\r\n";
  AppendText(download.uri, out, spill);
  out += "\r\n>\r\n";
}

}  // namespace zentrova::lists
