// Escapes the "%" that begin no escape and refuses the names ShellExecute would still expand.
#include "handler/shell_safe.h"

#include <string>
#include <utility>

namespace zentrova::handler {
namespace {

// Marks a sentence of the catalogue.
constexpr const char* Catalogue(const char* english) { return english; }

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool BeginsEscape(std::string_view text, std::size_t at) {
  return at + 2 < text.size() && IsHexDigit(text[at + 1]) && IsHexDigit(text[at + 2]);
}

}  // namespace

HandedOn ShellSafe(std::string_view uri, const VariableIsSet& is_set) {
  std::string safe;
  safe.reserve(uri.size());
  for (std::size_t at = 0; at < uri.size(); ++at) {
    safe += uri[at];
    if (uri[at] == '%' && !BeginsEscape(uri, at)) safe += "25";
  }
  // Windows, finding no variable between two "%", reads on from the second one, and Wine from
  // after it: every pair in a row is a name one of them may look up.
  for (std::size_t start = safe.find('%'); start != std::string::npos;) {
    const std::size_t end = safe.find('%', start + 1);
    if (end == std::string::npos) break;
    const std::string_view name = std::string_view(safe).substr(start + 1, end - start - 1);
    if (!name.empty() && is_set(name)) {
      return {"",
              Catalogue("the address holds {0}, which Windows would replace with a setting of "
                        "this computer"),
              "%" + std::string(name) + "%"};
    }
    start = end;
  }
  return {std::move(safe), "", ""};
}

}  // namespace zentrova::handler
