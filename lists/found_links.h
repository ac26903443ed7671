// Links as people find them on the web, one line at a time: a special link inside other text,
// FlashGet's [FLASHGET] wrapper and "&" suffix, any address in a Thunder payload, payload bytes
// in code page 936 or UTF-8, and lines that are plain addresses already. Pure: text in, result
// out; the window's own conversions stay as they are.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "links/link_formats.h"

namespace zentrova::lists {

// How the bytes inside a link are read, or written when one is made.
enum class Charset {
  kAuto,      // reading: valid UTF-8 with a multi-byte sequence is UTF-8, anything else 936
  kCodePage,  // code page 936
  kUtf8,
};

// The reading that made a link's bytes text.
enum class Reading {
  kNone,   // no link's bytes were read: the line passed through as it was
  kAscii,  // ASCII, which every reading gives alike
  kUtf8,
  kCodePage,  // code page 936
};

struct LineResult {
  enum class Kind { kBlank, kConverted, kPassedThrough, kFailed };
  Kind kind = Kind::kBlank;
  std::u16string text = {};  // the result; "" unless converted or passed through
  // For a failure, in words: a fixed English sentence, which a front end may translate, with
  // "{0}" standing for `detail` (a character's name) where there is one.
  std::string why = {};
  std::string detail = {};
  // For a result: the bytes of the address, as the link carried them (the address's UTF-8 when
  // it passed through); where a link was opened, that link as it was found (its prefix and
  // Base64 text); where one was made, the address it was made of; the link's (outer) kind; and
  // the reading of the address's bytes.
  std::string bytes = {};
  std::string link = {};  // ASCII, as a link's prefix and Base64 text are
  std::u16string address = {};
  std::optional<links::LinkKind> linkKind = {};
  Reading reading = Reading::kNone;
};

// Returns the failure of a line: `why`, a fixed English sentence of the catalogue, with "{0}"
// standing for `detail` where there is one.
LineResult Failure(std::string why, std::string detail = {});

// Returns a failure's words in English, its detail in place.
std::string Reason(const LineResult& result);

// Returns a catalogue's sentence `english` in the words a front end speaks.
using Translation = std::function<std::string(const std::string& english)>;

// Returns a failure's words in `translate`'s language, its detail in place (where the
// translation has put it).
std::string Reason(const LineResult& result, const Translation& translate);

// Returns the plain address behind the first special link in `line`, opening nested links;
// a line that is a plain address already passes through unchanged.
LineResult OpenFoundLink(std::u16string_view line, Charset charset);

// The same for a line the caller gives up, whose memory the result reuses: for lines near the
// lists' limit, where a copy costs tens of megabytes.
LineResult OpenFoundLinkInPlace(std::u16string&& line, Charset charset);

// Whether `text`, blanks around it aside, is itself a special link (written plainly or
// percent-encoded, as programs pass a clicked link on) rather than other text that carries one.
bool IsSpecialLink(std::u16string_view text);

// Returns the special link of `kind` for the plain address in `line`, made as the window makes
// it, with the address's bytes in `charset` (kAuto means code page 936).
LineResult MakeFoundLink(links::LinkKind kind, std::u16string_view line, Charset charset);

}  // namespace zentrova::lists
