// The words zentrova-cli and zentrova-open say, in the user's language: every message is an
// English sentence of the catalogue po/zh_CN.po, said in Simplified Chinese under a Chinese
// locale (LANG or LC_MESSAGES zh_CN on Linux, the user's interface language on Windows) and in
// English otherwise.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace zentrova::cli {

// Finds the user's language; once, before the first message.
void UseUserLanguage();

// Returns the catalogue's sentence `english` in the user's language, with "{0}", "{1}", …
// replaced by `args` in order (a translation may move them).
std::string Say(const char* english, std::initializer_list<std::string_view> args = {});

// Returns `english` in the user's language: the translation the catalogue holds, or `english`.
const char* Translate(const char* english);

// Marks `english` as a sentence of the catalogue that is said later (the catalogue's check
// finds the sentences by this name, by Say and by the link failures' own).
constexpr const char* Catalogue(const char* english) { return english; }

}  // namespace zentrova::cli
