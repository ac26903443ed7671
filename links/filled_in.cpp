#include "links/filled_in.h"

#include <utility>

namespace zentrova::links {

std::string FilledIn(std::string words, std::initializer_list<std::string_view> details) {
  return FilledIn(std::move(words), std::span(details.begin(), details.size()));
}

std::string FilledIn(std::string words, std::span<const std::string_view> details) {
  std::size_t number = 0;
  for (const std::string_view detail : details) {
    const std::string mark = std::string("{").append(std::to_string(number++)).append("}");
    if (const auto at = words.find(mark); at != std::string::npos) {
      words.replace(at, mark.size(), detail);
    }
  }
  return words;
}

}  // namespace zentrova::links
