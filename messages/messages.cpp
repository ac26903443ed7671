#include "messages/messages.h"

#include "links/filled_in.h"

namespace zentrova::cli {

std::string Say(const char* english, std::initializer_list<std::string_view> args) {
  return links::FilledIn(Translate(english), args);
}

}  // namespace zentrova::cli
