// The core as the browser extension sees it: the special links a page holds opened one by one,
// the opened links handed off in a downloader's form, and the verdicts of their check. Only
// converts data between JavaScript and the core; every decision, the refusals included, stays in
// the core.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "checks/verdict.h"
#include "checks/verdict_words.h"
#include "lists/found_links.h"
#include "lists/handed_line.h"
#include "lists/list_names.h"
#include "web/catalogue.h"
#include "web/extension/browser_check.h"
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

// A verdict as the popup takes it: {state, status, size, type, reason, final, words, download},
// each null when the verdict has none, the reason in Chinese when `chinese`, words the whole
// verdict as zentrova-cli --check says it beside an address, and download true when a
// downloader should still be given the address.
val VerdictObject(const checks::Verdict& verdict, bool chinese) {
  val object = val::object();
  object.set("state", std::string(checks::StateName(verdict.state)));
  object.set("status", verdict.status ? val(*verdict.status) : val::null());
  // A double holds every size below 2^53 bytes exactly, far beyond any file.
  object.set("size", verdict.size ? val(static_cast<double>(*verdict.size)) : val::null());
  object.set("type", verdict.type ? val(*verdict.type) : val::null());
  object.set("reason", verdict.reason ? val(TranslationFor(chinese)(verdict.reason)) : val::null());
  object.set("final", verdict.final ? val(*verdict.final) : val::null());
  object.set("words", checks::VerdictWords(verdict, TranslationFor(chinese)));
  object.set("download", checks::WorthDownloading(verdict.state));
  return object;
}

std::string TextField(const val& object, const char* name) {
  const val field = object[name];
  return field.isString() ? field.as<std::string>() : std::string();
}

// The verdict of `address` before anything is asked, or null when the browser is to ask it.
val CheckBefore(const std::string& address, bool chinese) {
  const std::optional<checks::Verdict> verdict = VerdictBeforeAsking(address);
  return verdict ? VerdictObject(*verdict, chinese) : val::null();
}

// The verdict of what the browser heard for `address`: `heard` is {failure} ("timeout" or
// "network") when fetch gave no answer, else {status, type, contentLength, contentRange, final,
// redirected}: the headers as the server sent them ("" or missing when it sent none), the
// response's url and whether the browser was redirected to it.
val JudgeAnswer(const val& heard, const std::string& address, bool chinese) {
  BrowserAnswer answer;
  const std::string failure = TextField(heard, "failure");
  if (failure == "timeout") answer.failure = BrowserAnswer::Failure::kTimeout;
  if (failure == "network") answer.failure = BrowserAnswer::Failure::kNetwork;
  const val status = heard["status"];
  if (status.isNumber()) answer.answer.status = status.as<int>();
  answer.answer.type = TextField(heard, "type");
  answer.answer.contentLength = TextField(heard, "contentLength");
  answer.answer.contentRange = TextField(heard, "contentRange");
  answer.answer.final = TextField(heard, "final");
  answer.redirected = heard["redirected"].isTrue();
  return VerdictObject(VerdictOfBrowser(answer, address), chinese);
}

}  // namespace
}  // namespace zentrova::web

EMSCRIPTEN_BINDINGS(zentrova_extension) {
  emscripten::function("openLinks", &zentrova::web::OpenLinks);
  emscripten::function("handOff", &zentrova::web::HandOffLinks);
  emscripten::function("checkBefore", &zentrova::web::CheckBefore);
  emscripten::function("judgeAnswer", &zentrova::web::JudgeAnswer);
}
