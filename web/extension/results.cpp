#include "web/extension/results.h"

#include <algorithm>
#include <optional>

#include "codec/utf8.h"
#include "links/filled_in.h"
#include "lists/download_address.h"
#include "lists/found_links.h"
#include "lists/json_text.h"

namespace zentrova::web {
namespace {

void AppendField(std::u16string_view value, std::u16string& out) {
  out += u',';
  lists::AppendJsonString(value, out);
}

void AppendFailure(std::string_view reason, std::u16string& out) {
  out += u"[\"f\"";
  AppendField(FromUtf8(reason), out);
}

void AppendResult(const lists::LineResult& result, bool chinese, bool withNames, Words words,
                  std::u16string& out) {
  switch (result.kind) {
    case lists::LineResult::Kind::kConverted:
    case lists::LineResult::Kind::kPassedThrough: {
      out += result.kind == lists::LineResult::Kind::kConverted ? u"[\"c\"" : u"[\"p\"";
      AppendField(result.text, out);
      const std::string uri = lists::DownloaderUri(result.bytes);
      AppendField(FromUtf8(uri), out);
      if (!withNames) break;
      if (const std::optional<std::u16string> name = lists::ReadableName(result.text)) {
        AppendField(*name, out);
      } else {
        out += u",null";
      }
      if (lists::ReachesThisMachine(result.text, uri)) out += u",true";
      break;
    }
    case lists::LineResult::Kind::kFailed:
      AppendFailure(links::FilledIn(std::string(words(result.why, chinese)), {result.detail}), out);
      break;
    case lists::LineResult::Kind::kBlank:
      out += u"[\"b\"";
      break;
  }
}

}  // namespace

std::u16string OpenLinksJson(std::u16string_view lines, bool chinese, bool withNames, Words words) {
  std::u16string json = u"[";
  std::u16string_view rest = lines;
  std::size_t given = 0;
  for (bool first = true;; first = false) {
    const std::size_t end = std::min(rest.find(u'\n'), rest.size());
    const std::u16string_view line = rest.substr(0, end);
    given += end + 1;
    if (!first) json += u',';
    if (line.size() > kLongestExtensionLink) {
      const std::string_view tooLong =
          words("the link is longer than {0} KiB; it was left as it is", chinese);
      AppendFailure(
          links::FilledIn(std::string(tooLong), {std::to_string(kLongestExtensionLink / 1024)}),
          json);
    } else if (given > kMostExtensionText) {
      AppendFailure(words("too many links at once; this one was left as it is", chinese), json);
    } else {
      AppendResult(lists::OpenFoundLink(line, lists::Charset::kAuto), chinese, withNames, words,
                   json);
    }
    json += u']';
    if (end == rest.size()) break;
    rest.remove_prefix(end + 1);
  }
  json += u']';
  return json;
}

}  // namespace zentrova::web
