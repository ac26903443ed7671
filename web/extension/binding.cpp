// The core as the browser extension sees it: the special links a page holds opened one by one,
// and the opened links handed off in a downloader's form. Only converts data between JavaScript
// and the core; every decision, the refusals included, stays in the core.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "codec/utf8.h"
#include "links/filled_in.h"
#include "lists/found_links.h"
#include "lists/hand_off.h"
#include "lists/list_run.h"
#include "web/catalogue.h"
#include "web/extension/results.h"

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

std::string Words(const lists::LineResult& result, bool chinese) {
  return links::FilledIn(std::string(Translate(result.why, chinese)), {result.detail});
}

std::u16string OpenLinks(const std::u16string& lines, bool chinese, bool withNames) {
  return OpenLinksJson(lines, chinese, withNames, &Translate);
}
// Returns the links of `items` opened and written in the form called `form` ("lines", "aria2",
// "ef2" or "json"), as `zentrova-cli batch decode --to FORM` writes a list of those lines:
// {text, notes}, where notes are the sentences (in Chinese when `chinese`) on links the form
// left out or that failed, each naming the link's place in the list from 1.
val HandOffLinks(const val& items, const std::string& form, bool chinese) {
  const std::optional<lists::HandOffForm> named = lists::HandOffFormNamed(form);
  if (!named) throw std::invalid_argument("no hand-off form is called " + form);
  lists::HandOff handOff(*named, lists::ListMode::kDecode);
  std::string text;
  val notes = val::array();
  const std::vector<std::u16string> texts = Texts(items);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const long number = static_cast<long>(i) + 1;
    std::optional<std::string> note;
    if (texts[i].size() > kLongestExtensionLink) {
      // As a page's own links: what no real link is long enough to be is not opened.
      note = links::FilledIn(
          std::string(Translate("the link is longer than {0} KiB; it was left as it is", chinese)),
          {std::to_string(kLongestExtensionLink / 1024)});
    } else {
      const lists::LineResult result = lists::OpenFoundLink(texts[i], lists::Charset::kAuto);
      note = handOff.Append(number, result, text);
      if (result.kind == lists::LineResult::Kind::kFailed) {
        note = Words(result, chinese);
      } else if (note) {
        note = std::string(Translate(*note, chinese));
      }
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
