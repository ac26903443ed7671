#include "handler/handed_on.h"

#include <utility>

#include "links/found_links.h"
#include "links/hand_off.h"

namespace zentrova::handler {
namespace {

// Marks a sentence of the catalogue.
constexpr const char* Catalogue(const char* english) { return english; }

}  // namespace

HandedOn HandOn(std::u16string_view link) {
  const links::LineResult result = links::OpenFoundLink(link, links::Charset::kAuto);
  switch (result.kind) {
    case links::LineResult::Kind::kFailed:
      return {"", result.why, result.detail};
    case links::LineResult::Kind::kBlank:
    case links::LineResult::Kind::kPassedThrough:
      // A plain address handed back to the system could come straight back to this handler.
      return {"", Catalogue("the text is not a special link"), ""};
    case links::LineResult::Kind::kConverted:
      break;
  }
  std::string uri = links::DownloaderUri(result.bytes);
  if (links::ReachesThisMachine(result.text, uri)) {
    return {"",
            Catalogue("the address is on this computer, where a link from elsewhere must not lead"),
            ""};
  }
  return {std::move(uri), "", ""};
}

}  // namespace zentrova::handler
