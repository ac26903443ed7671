// The core as the browser extension sees it: the special links a page holds opened one by one,
// and the opened links handed off in a downloader's form. Only converts data between JavaScript
// and the core; every decision, the refusals included, stays in the core.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "lists/found_links.h"
#include "lists/handed_line.h"
#include "lists/list_names.h"
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

std::u16string OpenLinks(const std::u16string& lines, bool chinese, bool withNames) {
  return OpenLinksJson(lines, withNames, TranslationFor(chinese));
}

// A download as the background hands it to aria2: {uri, name}, name null when it has none.
val DownloadOf(const lists::Download& download) {
  val entry = val::object();
  entry.set("uri", download.uri);
  entry.set("name", download.name ? val(*download.name) : val::null());
  return entry;
}

// Returns the links of `items` opened and written in the form called `form` ("lines", "aria2",
// "ef2" or "json"), as `zentrova-cli batch decode --to FORM` writes a list of those lines:
// {text, notes, downloads}, where notes are the sentences (in Chinese when `chinese`) on links
// the form left out or that failed, each naming the link's place in the list from 1, and
// downloads ({uri, name}) what aria2's and IDM's forms hold, in their order.
val HandOffLinks(const val& items, const std::string& form, bool chinese) {
  const lists::NamedListWork named = lists::ListWorkNamed("decode", "auto", form);
  if (named.problem) throw std::invalid_argument("no hand-off form is called " + form);
  lists::HandOff handOff(named.work.form, named.work.mode);
  const lists::Translation translate = TranslationFor(chinese);
  std::string text;
  val notes = val::array();
  val downloads = val::array();
  const std::vector<std::u16string> texts = Texts(items);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const long number = static_cast<long>(i) + 1;
    const lists::HandedLine handed =
        lists::HandLineOff(handOff, number, OpenExtensionLink(texts[i]), translate, text);
    if (handed.download) downloads.call<void>("push", DownloadOf(*handed.download));
    const std::optional<std::string>& words = handed.failure ? handed.failure : handed.note;
    if (!words) continue;
    val entry = val::object();
    entry.set("number", number);
    entry.set("words", *words);
    notes.call<void>("push", entry);
  }
  val result = val::object();
  result.set("text", text);
  result.set("notes", notes);
  result.set("downloads", downloads);
  return result;
}

}  // namespace
}  // namespace zentrova::web

EMSCRIPTEN_BINDINGS(zentrova_extension) {
  emscripten::function("openLinks", &zentrova::web::OpenLinks);
  emscripten::function("handOff", &zentrova::web::HandOffLinks);
}
