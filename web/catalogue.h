// The pages' words in the visitor's language: every message is an English sentence of a
// gettext catalogue, po/zh_CN.po (the sentences the pages share with zentrova-cli, the list
// failures' reasons among them) or web/zh_CN.po (the pages' own), compiled into the page.
#pragma once

#include <string_view>

#include "lists/found_links.h"

namespace zentrova::web {

// Returns `english` in Simplified Chinese when `chinese`, else `english` itself; a sentence
// that no catalogue translates stays English.
std::string_view Translate(std::string_view english, bool chinese);

// Returns Translate for `chinese`, as the core's lists take it.
lists::Translation TranslationFor(bool chinese);

}  // namespace zentrova::web
