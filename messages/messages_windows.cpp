// The user's language where no gettext is at hand (Windows): the catalogue compiled into the
// program, Chinese when the user's interface language is Chinese. LC_ALL, LC_MESSAGES or LANG,
// where one is set, decide instead, in that order, as they do for GNU programs on Windows.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "messages/messages.h"

namespace zentrova::cli {
namespace {

struct Translation {
  const char* english;
  const char* words;
};

// Made from po/zh_CN.po at build time, in the order of the English sentences' bytes.
#include "messages_zh_CN.inc"

bool gChinese = false;

bool InterfaceLanguageIsChinese() {
  return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_CHINESE;
}

}  // namespace

void UseUserLanguage() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value && *value) {
      gChinese = std::strncmp(value, "zh", 2) == 0;
      return;
    }
  }
  gChinese = InterfaceLanguageIsChinese();
}

const char* Translate(const char* english) {
  if (!gChinese) return english;
  const auto found = std::lower_bound(
      std::begin(kZhCn), std::end(kZhCn), english,
      [](const Translation& t, const char* key) { return std::strcmp(t.english, key) < 0; });
  return found != std::end(kZhCn) && std::strcmp(found->english, english) == 0 ? found->words
                                                                               : english;
}

}  // namespace zentrova::cli
