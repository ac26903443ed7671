// The core as the browser extension sees it: the special links a page holds opened one by one,
// and the opened links handed off in a downloader's form. Only converts data between JavaScript
// and the core; every decision, the refusals included, stays in the core.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

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

// Returns, for each text of `items` (an array of strings, each one link as a page holds it), the
// link opened: {status: "converted" | "passedThrough" | "failed" | "blank", address (readable),
// uri (the bytes the link carried, escaped for a downloader), name (or null), error (the reason,
// in Chinese when `chinese`, or null)}.
val OpenLinks(const val& items, bool chinese) {
  val results = val::array();
  const std::vector<std::u16string> texts = Texts(items);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const links::LineResult result = links::OpenFoundLink(texts[i], links::Charset::kAuto);
    val entry = val::object();
    switch (result.kind) {
      case links::LineResult::Kind::kConverted:
      case links::LineResult::Kind::kPassedThrough: {
        const bool converted = result.kind == links::LineResult::Kind::kConverted;
        entry.set("status", converted ? "converted" : "passedThrough");
        entry.set("address", result.text);
        entry.set("uri", links::DownloaderUri(result.bytes));
        const std::optional<std::u16string> name = links::ReadableName(result.text);
        entry.set("name", name ? val(*name) : val::null());
        entry.set("error", val::null());
        break;
      }
      case links::LineResult::Kind::kFailed:
        entry.set("status", "failed");
        entry.set("error", Words(result, chinese));
        break;
      case links::LineResult::Kind::kBlank:
        entry.set("status", "blank");
        entry.set("error", val::null());
        break;
    }
    results.set(i, entry);
  }
  return results;
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
