#include "handler/handed_on.h"

#include <utility>

#include "lists/download_address.h"
#include "lists/found_links.h"

namespace zentrova::handler {
namespace {

// Marks a sentence of the catalogue.
constexpr const char* Catalogue(const char* english) { return english; }

}  // namespace

HandedOn HandOn(std::u16string_view link, const lists::ThisMachine& machine) {
  // A plain address handed back to the system could come straight back to this handler, and
  // one that only carries a link is still a plain address: a search page, a script.
  if (!lists::IsSpecialLink(link)) return {"", Catalogue("the text is not a special link"), ""};
  const lists::LineResult result = lists::OpenFoundLink(link, lists::Charset::kAuto);
  switch (result.kind) {
    case lists::LineResult::Kind::kFailed:
      return {"", result.why, result.detail};
    case lists::LineResult::Kind::kBlank:
    case lists::LineResult::Kind::kPassedThrough:
      return {"", Catalogue("the text is not a special link"), ""};
    case lists::LineResult::Kind::kConverted:
      break;
  }
  std::string uri = lists::DownloaderUri(result.bytes);
  if (lists::ReachesThisMachine(result.text, uri, machine)) {
    return {"",
            Catalogue("the address is on this computer, where a link from elsewhere must not lead"),
            ""};
  }
  return {std::move(uri), "", ""};
}

}  // namespace zentrova::handler
