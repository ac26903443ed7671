// The core as the browser extension sees it: the special links a page holds opened one by one,
// and the opened links handed off in a downloader's form. Only converts data between JavaScript
// and the core; every decision, the refusals included, stays in the core.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "codec/utf8.h"
#include "links/filled_in.h"
#include "links/found_links.h"
#include "links/hand_off.h"
#include "links/list_run.h"
#include "web/catalogue.h"

namespace zentrova::web {
namespace {

using emscripten::val;

std::vector<std::u16string> Texts(const val& items) {
  const auto count = items["length"].as<std::size_t>();
  std::vector<std::u16string> texts;
  texts.reserve(count);
  for (std::size_t i = 0; i < count; ++i) texts.push_back(items[i].as<std::u16string>());
  return texts;
}

std::string Words(const links::LineResult& result, bool chinese) {
  return links::FilledIn(std::string(Translate(result.why, chinese)), {result.detail});
}

// Appends `text` to `out` as a JSON string. Surrogates are written as escapes, so that a lone
// one taken from a page survives the browser's messages (which carry UTF-8) as it was.
void AppendJson(std::u16string_view text, std::u16string& out) {
  static constexpr char16_t kHex[] = u"0123456789abcdef";
  out += u'"';
  for (const char16_t c : text) {
    if (c == u'"' || c == u'\\') {
      out += u'\\';
      out += c;
    } else if (c < 0x20 || (c >= 0xD800 && c <= 0xDFFF)) {
      out += u"\\u";
      for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(c >> shift) & 0xF];
    } else {
      out += c;
    }
  }
  out += u'"';
}

void AppendField(std::u16string_view value, std::u16string& out) {
  out += u',';
  AppendJson(value, out);
}

// Returns, for each line of `lines` (the links as a page holds them, one a line, each without
// a line end of its own), the link opened, as the text of a JSON array of arrays: ["c" for
// converted or "p" for passed through, the readable address, the bytes the link carried
// escaped for a downloader, and, when `withNames`, the file's name where there is one],
// ["f", the reason, in Chinese when `chinese`] or ["b"] for a blank line. One short text both
// ways, because the browser carries one string between the extension's parts far faster than
// many small ones, and the fewer its characters the faster.
std::u16string OpenLinks(const std::u16string& lines, bool chinese, bool withNames) {
  std::u16string json = u"[";
  std::u16string_view rest = lines;
  for (bool first = true;; first = false) {
    const std::size_t end = std::min(rest.find(u'\n'), rest.size());
    const links::LineResult result =
        links::OpenFoundLink(rest.substr(0, end), links::Charset::kAuto);
    if (!first) json += u',';
    switch (result.kind) {
      case links::LineResult::Kind::kConverted:
      case links::LineResult::Kind::kPassedThrough:
        json += result.kind == links::LineResult::Kind::kConverted ? u"[\"c\"" : u"[\"p\"";
        AppendField(result.text, json);
        AppendField(FromUtf8(links::DownloaderUri(result.bytes)), json);
        if (!withNames) break;
        if (const std::optional<std::u16string> name = links::ReadableName(result.text)) {
          AppendField(*name, json);
        }
        break;
      case links::LineResult::Kind::kFailed:
        json += u"[\"f\"";
        AppendField(FromUtf8(Words(result, chinese)), json);
        break;
      case links::LineResult::Kind::kBlank:
        json += u"[\"b\"";
        break;
    }
    json += u']';
    if (end == rest.size()) break;
    rest.remove_prefix(end + 1);
  }
  json += u']';
  return json;
}

// Returns the links of `items` opened and written in the form called `form` ("lines", "aria2",
// "ef2" or "json"), as `zentrova-cli batch decode --to FORM` writes a list of those lines:
// {text, notes}, where notes are the sentences (in Chinese when `chinese`) on links the form
// left out or that failed, each naming the link's place in the list from 1.
val HandOffLinks(const val& items, const std::string& form, bool chinese) {
  const std::optional<links::HandOffForm> named = links::HandOffFormNamed(form);
  if (!named) throw std::invalid_argument("no hand-off form is called " + form);
  links::HandOff handOff(*named, links::ListMode::kDecode);
  std::string text;
  val notes = val::array();
  const std::vector<std::u16string> texts = Texts(items);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const links::LineResult result = links::OpenFoundLink(texts[i], links::Charset::kAuto);
    const long number = static_cast<long>(i) + 1;
    std::optional<std::string> note = handOff.Append(number, result, text);
    if (result.kind == links::LineResult::Kind::kFailed) note = Words(result, chinese);
    if (note && result.kind != links::LineResult::Kind::kFailed) {
      note = std::string(Translate(*note, chinese));
    }
    if (!note) continue;
    val entry = val::object();
    entry.set("number", number);
    entry.set("words", *note);
    notes.call<void>("push", entry);
  }
  val result = val::object();
  result.set("text", text);
  result.set("notes", notes);
  return result;
}

}  // namespace
}  // namespace zentrova::web

EMSCRIPTEN_BINDINGS(zentrova_extension) {
  emscripten::function("openLinks", &zentrova::web::OpenLinks);
  emscripten::function("handOff", &zentrova::web::HandOffLinks);
}
