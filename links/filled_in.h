// Sentences with places for their details, as the catalogues hold them: "{0}", "{1}", … stand
// where a translation has put each detail.
#pragma once

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace zentrova::links {

// Returns `words` with "{0}", "{1}", … replaced by `details` in order (wherever a translation
// has put them).
std::string FilledIn(std::string words, std::span<const std::string_view> details);
std::string FilledIn(std::string words, std::initializer_list<std::string_view> details);

}  // namespace zentrova::links
