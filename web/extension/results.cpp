#include "web/extension/results.h"

#include <algorithm>
#include <optional>

#include "codec/utf8.h"
#include "lists/download_address.h"
#include "lists/json_text.h"

namespace zentrova::web {
namespace {

void AppendField(std::u16string_view value, std::u16string& out) {
  out += u',';
  lists::AppendJsonString(value, out);
}

void AppendFailure(const std::string& reason, std::u16string& out) {
  out += u"[\"f\"";
  AppendField(FromUtf8(reason), out);
}

void AppendAddress(const lists::LineResult& result, bool withNames, std::u16string& out) {
  out += result.kind == lists::LineResult::Kind::kConverted ? u"[\"c\"" : u"[\"p\"";
  AppendField(result.text, out);
  const std::string uri = lists::DownloaderUri(result.bytes);
  AppendField(FromUtf8(uri), out);
  if (!withNames) return;
  if (const std::optional<std::u16string> name = lists::ReadableName(result.text)) {
    AppendField(*name, out);
  } else {
    out += u",null";
  }
  if (lists::ReachesThisMachine(result.text, uri)) out += u",true";
}

void AppendResult(const lists::LineResult& result, bool withNames,
                  const lists::Translation& translate, std::u16string& out) {
  switch (result.kind) {
    case lists::LineResult::Kind::kConverted:
    case lists::LineResult::Kind::kPassedThrough:
      AppendAddress(result, withNames, out);
      break;
    case lists::LineResult::Kind::kFailed:
      AppendFailure(lists::Reason(result, translate), out);
      break;
    case lists::LineResult::Kind::kBlank:
      out += u"[\"b\"";
      break;
  }
}

}  // namespace

lists::LineResult OpenExtensionLink(std::u16string_view link) {
  if (link.size() > kLongestExtensionLink) {
    return lists::Failure("the link is longer than {0} KiB; it was left as it is",
                          std::to_string(kLongestExtensionLink / 1024));
  }
  return lists::OpenFoundLink(link, lists::Charset::kAuto);
}

std::u16string OpenLinksJson(std::u16string_view lines, bool withNames,
                             const lists::Translation& translate) {
  std::u16string json = u"[";
  std::u16string_view rest = lines;
  std::size_t given = 0;
  for (bool first = true;; first = false) {
    const std::size_t end = std::min(rest.find(u'\n'), rest.size());
    const std::u16string_view line = rest.substr(0, end);
    given += end + 1;
    if (!first) json += u',';
    if (given > kMostExtensionText && line.size() <= kLongestExtensionLink) {
      AppendResult(lists::Failure("too many links at once; this one was left as it is"), withNames,
                   translate, json);
    } else {
      AppendResult(OpenExtensionLink(line), withNames, translate, json);
    }
    json += u']';
    if (end == rest.size()) break;
    rest.remove_prefix(end + 1);
  }
  json += u']';
  return json;
}

}  // namespace zentrova::web
