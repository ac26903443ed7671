#include "cli/messages.h"

namespace zentrova::cli {

std::string Say(const char* english, std::initializer_list<std::string_view> args) {
  std::string words = Translate(english);
  std::size_t number = 0;
  for (const std::string_view arg : args) {
    const std::string mark = "{" + std::to_string(number++) + "}";
    if (const auto at = words.find(mark); at != std::string::npos)
      words.replace(at, mark.size(), arg);
  }
  return words;
}

}  // namespace zentrova::cli
