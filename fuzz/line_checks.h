// What every result of a list's line must be, whatever the line held: one line of an address
// that hides nothing from the person who reads or pastes it, or a failure that says why.
#pragma once

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "codec/code_page.h"
#include "codec/utf8.h"
#include "links/link_formats.h"
#include "lists/found_links.h"

namespace zentrova::fuzz {

// Stops the run, saying what went wrong with which text; libFuzzer keeps the input.
[[noreturn]] inline void Fail(const char* what, std::u16string_view text) {
  std::string shown;
  for (const char16_t c : text) {
    // Control and direction characters named, so that the report shows what hides in the text.
    if (c < 0x20 || (c >= 0x7F && c <= 0xA0) || c == 0x061C || (c >= 0x2000 && c <= 0x206F) ||
        (c >= 0xD800 && c <= 0xDFFF) || c == 0xFEFF || c >= 0xFFF0) {
      shown += "<" + CodePointName(c) + ">";
    } else {
      AppendUtf8(std::u16string_view(&c, 1), shown);
    }
  }
  std::fprintf(stderr, "%s: \"%s\"\n", what, shown.c_str());
  std::abort();
}

// Characters that end a line for some tool, or that hide or reorder what a person reads.
constexpr bool Unsafe(char32_t c) {
  return c <= 0x1F || (c >= 0x7F && c <= 0x9F) || c == 0x061C || c == 0x115F || c == 0x1160 ||
         c == 0x180E || c == 0x200B || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2060 && c <= 0x2064) || (c >= 0x2066 && c <= 0x2069) || c == 0x2028 ||
         c == 0x2029 || c == 0x3164 || c == 0xFEFF || c == 0xFFA0;
}

// Whether `bytes` hold, as UTF-8, a character that hides something. Where they are UTF-8 as a
// whole every such character counts; elsewhere only the ones of one byte or of three, as a pair
// of bytes is as likely two halves of GBK characters.
inline bool HideInUtf8(std::string_view bytes) {
  bool valid = true;
  bool shortOne = false;
  for (std::size_t at = 0; at < bytes.size();) {
    const auto character = FirstUtf8Character(bytes.substr(at));
    if (!character) {
      valid = false;
      ++at;
      continue;
    }
    if (Unsafe(character->value)) {
      if (character->length != 2) return true;
      shortOne = true;
    }
    at += character->length;
  }
  return valid && shortOne;
}

// Returns the lines of `text` as a list has them: LF, CR LF and a lone CR each end one, and a
// last line without an end counts.
template <typename Char>
std::vector<std::basic_string_view<Char>> Lines(std::basic_string_view<Char> text) {
  std::vector<std::basic_string_view<Char>> lines;
  std::size_t start = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] != Char('\n') && text[at] != Char('\r')) continue;
    lines.push_back(text.substr(start, at - start));
    if (text[at] == Char('\r') && at + 1 < text.size() && text[at + 1] == Char('\n')) ++at;
    start = at + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

inline char16_t LowerAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c; }

inline std::u16string LowerAscii(std::u16string_view text) {
  std::u16string lower(text);
  for (char16_t& c : lower) c = LowerAscii(c);
  return lower;
}

// The result is of one kind: a text without a reason, or a reason without a text.
inline void CheckShape(const lists::LineResult& result, std::u16string_view line) {
  using Kind = lists::LineResult::Kind;
  switch (result.kind) {
    case Kind::kBlank:
      if (!result.text.empty() || !result.why.empty()) Fail("a blank result with words", line);
      break;
    case Kind::kFailed:
      if (!result.text.empty()) Fail("a failure with a result", line);
      if (lists::Reason(result).empty()) Fail("a failure without a reason", line);
      break;
    case Kind::kConverted:
    case Kind::kPassedThrough:
      if (result.text.empty()) Fail("an empty result", line);
      if (!result.why.empty()) Fail("a result with a reason", line);
      for (const char16_t c : result.text) {
        if (Unsafe(c))
          Fail("a result holds a line end, control or direction character", result.text);
      }
      // Whatever reading made the text, the bytes a downloader is handed hide nothing either.
      if (HideInUtf8(result.bytes)) Fail("a result's bytes hide a character as UTF-8", result.text);
      break;
  }
}

// Checks what OpenFoundLink gave for `line`: an address of a scheme that lists accept, and a
// passed-through one exactly as the line holds it.
inline void CheckOpened(const lists::LineResult& result, std::u16string_view line) {
  using Kind = lists::LineResult::Kind;
  CheckShape(result, line);
  if (result.kind != Kind::kConverted && result.kind != Kind::kPassedThrough) return;
  if (result.kind == Kind::kPassedThrough && line.find(result.text) == std::u16string_view::npos) {
    Fail("a passed-through address that the line does not hold", result.text);
  }
  std::size_t colon = result.text.find(u':');
  const std::u16string scheme = LowerAscii(
      std::u16string_view(result.text).substr(0, colon == std::u16string::npos ? 0 : colon));
  constexpr std::array<std::u16string_view, 5> kSchemes = {u"http", u"https", u"ftp", u"ed2k",
                                                           u"magnet"};
  bool known = false;
  for (const std::u16string_view accepted : kSchemes) known = known || scheme == accepted;
  if (!known) Fail("an address of a scheme that lists do not accept", result.text);
}

// Failures that say a link itself is broken, which no link just made may be.
constexpr std::array<std::string_view, 4> kBrokenLink = {
    "the link holds no Base64 text", "the link's Base64 text is not valid",
    "the link's bytes are not UTF-8", "the Thunder link lacks its AA…ZZ wrapper"};

// Checks what MakeFoundLink gave for `line`: a link of `kind` on one line, which opens again
// (with the bytes read as they were written) to an address that the line holds, or is refused
// for what the address holds.
inline void CheckMade(const lists::LineResult& result, links::LinkKind kind,
                      std::u16string_view line, lists::Charset charset) {
  using Kind = lists::LineResult::Kind;
  CheckShape(result, line);
  if (result.kind == Kind::kPassedThrough) Fail("making a link passed a line through", line);
  if (result.kind != Kind::kConverted) return;
  const std::u16string_view prefix = links::Prefix(kind);
  if (!result.text.starts_with(prefix)) Fail("a link of another kind", result.text);
  for (const char16_t c : std::u16string_view(result.text).substr(prefix.size())) {
    const bool base64 = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
                        (c >= u'0' && c <= u'9') || c == u'+' || c == u'/' || c == u'=';
    if (!base64) Fail("a link with a character outside Base64", result.text);
  }
  const lists::Charset reading =
      charset == lists::Charset::kUtf8 ? lists::Charset::kUtf8 : lists::Charset::kCodePage;
  const lists::LineResult opened = lists::OpenFoundLink(result.text, reading);
  CheckOpened(opened, result.text);
  if (opened.kind == Kind::kFailed) {
    for (const std::string_view broken : kBrokenLink) {
      if (opened.why == broken) Fail("a link just made does not open", result.text);
    }
    return;
  }
  if (opened.kind != Kind::kConverted) Fail("a link just made opens to no address", result.text);
  // UTF-8 has no form for a lone surrogate; Thunder links write the scheme in lower case.
  const std::u16string written =
      reading == lists::Charset::kUtf8 ? FromUtf8(ToUtf8(line)) : std::u16string(line);
  if (LowerAscii(written).find(LowerAscii(opened.text)) == std::u16string::npos) {
    Fail("a link just made opens to an address that the line does not hold", opened.text);
  }
}

}  // namespace zentrova::fuzz
