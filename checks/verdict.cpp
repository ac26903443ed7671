#include "checks/verdict.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "checks/url_text.h"
#include "links/ascii_case.h"

namespace zentrova::checks {
namespace {

// Marks a reason's words as a sentence of the catalogue.
constexpr const char* Reason(const char* english) { return english; }

std::optional<std::uint64_t> Number(std::string_view text) {
  text = Trimmed(text);
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
    return std::nullopt;
  }
  return value;
}

// The media type of a Content-Type value: lower case, without its parameters.
std::optional<std::string> MediaType(std::string_view type) {
  const std::string_view bare = Trimmed(type.substr(0, type.find(';')));
  // Only a type's own characters: a server's tab, escape or byte past ASCII would reach the
  // reader's terminal and break the lines' columns.
  const auto inType = [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::string_view("!#$&^_.+-/").find(c) != std::string_view::npos;
  };
  if (bare.empty() || !std::all_of(bare.begin(), bare.end(), inType)) return std::nullopt;
  return Lowered(bare);
}

bool IsPage(const std::optional<std::string>& type) {
  return type && (*type == "text/html" || *type == "application/xhtml+xml");
}

bool HasScheme(std::string_view address, std::string_view scheme) {
  return address.size() > scheme.size() && address[scheme.size()] == ':' &&
         links::StartsWithNoCase(address, scheme);
}

Verdict Of(State state, const char* reason) {
  Verdict verdict;
  verdict.state = state;
  verdict.reason = reason;
  return verdict;
}

Verdict OfTrouble(Trouble trouble) {
  switch (trouble) {
    case Trouble::kNoSuchHost:
      return Of(State::kDead, Reason("no such host: the name does not resolve"));
    case Trouble::kConnectionRefused:
      return Of(State::kDead, Reason("the server refused the connection"));
    case Trouble::kTimeout:
      return Of(State::kUnknown, Reason("no answer in time"));
    case Trouble::kTls:
      return Of(State::kUnknown, Reason("the secure connection failed"));
    case Trouble::kTooManyRedirects:
      return Of(State::kUnknown, Reason("too many redirects"));
    case Trouble::kBrokenAnswer:
      return Of(State::kUnknown, Reason("the connection ended without a usable answer"));
    case Trouble::kProxyFailed:
      return Of(State::kUnknown, Reason("the proxy could not carry the request"));
    case Trouble::kThisMachine:
    case Trouble::kPrivateNetwork:
    case Trouble::kReserved:
      return RefusedVerdict(trouble);
    case Trouble::kNone:
      break;
  }
  return Of(State::kUnknown, Reason("the connection ended without a usable answer"));
}

Verdict OfFtp(const Answer& answer) {
  if (answer.status >= 200 && answer.status < 300) {
    Verdict verdict = Of(State::kAlive, nullptr);
    verdict.size = Number(answer.contentLength);
    return verdict;
  }
  if (answer.status == 550) return Of(State::kDead, Reason("the FTP server has no such file"));
  if (answer.status == 530 || answer.status == 332) {
    return Of(State::kUnknown, Reason("the server wants a login or a referring page"));
  }
  if (answer.status >= 400 && answer.status < 500) {
    return Of(State::kUnknown, Reason("the server failed"));
  }
  return Of(State::kUnknown, Reason("the server's answer does not tell whether the file is there"));
}

Verdict OfHttp(const Answer& answer, std::string_view address) {
  const int status = answer.status;
  if (status >= 200 && status < 300) {
    const std::optional<std::string> type = MediaType(answer.type);
    // Most hosts answer for a removed file with a page of their own, and 200.
    if (IsPage(type) && (NamesAFile(address) || NamesAFile(answer.final))) {
      Verdict verdict =
          Of(State::kDead, Reason("a web page answered where the address names a file"));
      verdict.type = type;
      return verdict;
    }
    Verdict verdict = Of(State::kAlive, nullptr);
    verdict.type = type;
    // A ranged answer's own length is the one byte asked for.
    verdict.size = status == 206 ? RangeTotal(answer.contentRange) : Number(answer.contentLength);
    return verdict;
  }
  if (status == 404 || status == 410) {
    return Of(State::kDead, Reason("the server no longer has the file"));
  }
  if (status == 401 || status == 403 || status == 407) {
    return Of(State::kUnknown, Reason("the server wants a login or a referring page"));
  }
  if (status >= 500 && status < 600) return Of(State::kUnknown, Reason("the server failed"));
  return Of(State::kUnknown, Reason("the server's answer does not tell whether the file is there"));
}

}  // namespace

Verdict Judge(const Answer& answer, std::string_view address) {
  Verdict verdict = answer.trouble != Trouble::kNone ? OfTrouble(answer.trouble)
                    : answer.ftp                     ? OfFtp(answer)
                                                     : OfHttp(answer, address);
  if (answer.trouble == Trouble::kNone && answer.status > 0) verdict.status = answer.status;
  if (!answer.final.empty() && answer.final != address) verdict.final = answer.final;
  return verdict;
}

std::optional<Verdict> VerdictWithoutAsking(std::string_view address) {
  if (HasScheme(address, "http") || HasScheme(address, "https") || HasScheme(address, "ftp")) {
    return std::nullopt;
  }
  if (HasScheme(address, "ed2k") || HasScheme(address, "magnet")) {
    return Of(State::kUnknown, Reason("found through peers, not a server: not checked"));
  }
  return Of(State::kUnknown, Reason("only http, https and ftp addresses are checked"));
}

Verdict RefusedVerdict(Trouble why) {
  switch (why) {
    case Trouble::kThisMachine:
      return Of(State::kRefused, Reason("the address leads to this machine: nothing was asked"));
    case Trouble::kPrivateNetwork:
      return Of(State::kRefused,
                Reason("the address leads to a private network: nothing was asked"));
    default:
      return Of(State::kRefused,
                Reason("the address leads to a reserved range: nothing was asked"));
  }
}

std::string_view StateName(State state) {
  switch (state) {
    case State::kAlive:
      return "alive";
    case State::kDead:
      return "dead";
    case State::kUnknown:
      return "unknown";
    case State::kRefused:
      return "refused";
  }
  return "unknown";
}

bool NamesAFile(std::string_view address) {
  // What people download from posts: videos, music, archives, programs, disc images, books.
  static constexpr std::array<std::string_view, 56> kFileExtensions = {
      "3gp", "7z",   "aac",  "ape",  "apk", "avi",  "azw3", "bin", "bz2", "cab",     "chm",  "deb",
      "dmg", "doc",  "docx", "epub", "exe", "flac", "flv",  "gz",  "img", "iso",     "m2ts", "m4a",
      "m4v", "mkv",  "mobi", "mov",  "mp3", "mp4",  "mpeg", "mpg", "msi", "nrg",     "ogg",  "pdf",
      "pkg", "ppt",  "pptx", "rar",  "rm",  "rmvb", "rpm",  "tar", "tgz", "torrent", "ts",   "vob",
      "wav", "webm", "wma",  "wmv",  "xls", "xlsx", "xz",   "zip"};
  std::string_view path = address.substr(0, address.find_first_of("?#"));
  const std::size_t scheme = path.find("://");
  if (scheme == std::string_view::npos) return false;
  path.remove_prefix(scheme + 3);
  const std::size_t slash = path.find('/');
  if (slash == std::string_view::npos) return false;
  const std::string_view name = path.substr(path.rfind('/') + 1);
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot + 1 == name.size()) return false;
  const std::string extension = Lowered(name.substr(dot + 1));
  return std::find(kFileExtensions.begin(), kFileExtensions.end(), extension) !=
         kFileExtensions.end();
}

std::optional<std::uint64_t> RangeTotal(std::string_view contentRange) {
  const std::size_t slash = contentRange.rfind('/');
  if (slash == std::string_view::npos) return std::nullopt;
  return Number(contentRange.substr(slash + 1));
}

}  // namespace zentrova::checks
