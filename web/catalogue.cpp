#include "web/catalogue.h"

#include <algorithm>
#include <iterator>

namespace zentrova::web {
namespace {

struct Translation {
  std::string_view english;
  std::string_view words;
};

// Both made at build time by po/catalogue_table.py, each in the order of its English
// sentences' bytes. A sentence in both reads as the shared catalogue has it.
namespace shared {
#include "catalogue_zh_CN.inc"
}  // namespace shared
namespace pages {
#include "pages_zh_CN.inc"
}  // namespace pages

template <std::size_t n>
const Translation* Find(const Translation (&table)[n], std::string_view english) {
  const auto found =
      std::lower_bound(std::begin(table), std::end(table), english,
                       [](const Translation& t, std::string_view key) { return t.english < key; });
  return found != std::end(table) && found->english == english ? found : nullptr;
}

}  // namespace

std::string_view Translate(std::string_view english, bool chinese) {
  if (!chinese) return english;
  if (const Translation* found = Find(shared::kZhCn, english)) return found->words;
  if (const Translation* found = Find(pages::kZhCn, english)) return found->words;
  return english;
}

lists::Translation TranslationFor(bool chinese) {
  return [chinese](const std::string& english) { return std::string(Translate(english, chinese)); };
}

}  // namespace zentrova::web
