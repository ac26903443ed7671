#include "lists/json_text.h"

#include "codec/utf8.h"

namespace zentrova::lists {
namespace {

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Whether the code unit at `at` is written as an escape rather than as it stands.
bool Escaped(std::u16string_view text, std::size_t at) {
  const char16_t c = text[at];
  if (c < 0x20 || c == u'"' || c == u'\\' || c == 0x2028 || c == 0x2029) return true;
  if (IsHighSurrogate(c)) return at + 1 == text.size() || !IsLowSurrogate(text[at + 1]);
  if (IsLowSurrogate(c)) return at == 0 || !IsHighSurrogate(text[at - 1]);
  return false;
}

void AppendRun(std::u16string_view run, std::string& out) { AppendUtf8(run, out); }
void AppendRun(std::u16string_view run, std::u16string& out) { out.append(run); }

// Appends the escape of `c`: the short one for a quote and a backslash, \uXXXX for the rest.
template <typename Out>
void AppendEscape(char16_t c, Out& out) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += typename Out::value_type('\\');
  if (c == u'"' || c == u'\\') {
    out += typename Out::value_type(c);
    return;
  }
  out += typename Out::value_type('u');
  for (int shift = 12; shift >= 0; shift -= 4) {
    out += typename Out::value_type(kHex[(c >> shift) & 0xF]);
  }
}

// The string's characters, escaped, without its quotes.
template <typename Out>
void AppendJsonCharacters(std::u16string_view text, Out& out) {
  std::size_t run = 0;  // where the characters since the last escape begin
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (!Escaped(text, at)) continue;
    // The characters before it go whole, so that a pair of surrogates stays one character.
    AppendRun(text.substr(run, at - run), out);
    AppendEscape(text[at], out);
    run = at + 1;
  }
  AppendRun(text.substr(run), out);
}

// Most of what is written is printable ASCII that needs no escape (addresses, names of kinds):
// it goes as it stands, without reading it as characters.
void AppendJsonCharacters(std::string_view text, std::string& out) {
  bool plain = true;
  for (const char c : text) {
    if (c < 0x20 || c > 0x7E || c == '"' || c == '\\') {
      plain = false;
      break;
    }
  }
  if (plain) {
    out += text;
  } else {
    AppendJsonCharacters(std::u16string_view(FromUtf8(text)), out);
  }
}

template <typename Text, typename Out>
void AppendJson(Text text, Out& out) {
  out += typename Out::value_type('"');
  AppendJsonCharacters(text, out);
  out += typename Out::value_type('"');
}

template <typename Char>
void AppendJsonInPieces(std::basic_string_view<Char> text, std::string& out, const Spill& spill) {
  out += '"';
  InPieces(text, out, spill,
           [&](std::basic_string_view<Char> piece) { AppendJsonCharacters(piece, out); });
  out += '"';
}

}  // namespace

void AppendJsonString(std::u16string_view text, std::string& out) { AppendJson(text, out); }

void AppendJsonString(std::u16string_view text, std::u16string& out) { AppendJson(text, out); }

void AppendJsonString(std::string_view text, std::string& out) { AppendJson(text, out); }

void AppendJsonString(std::u16string_view text, std::string& out, const Spill& spill) {
  AppendJsonInPieces(text, out, spill);
}

void AppendJsonString(std::string_view text, std::string& out, const Spill& spill) {
  AppendJsonInPieces(text, out, spill);
}

}  // namespace zentrova::lists
