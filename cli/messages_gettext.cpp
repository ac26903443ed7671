// The user's language through glibc's gettext, from the catalogue compiled to zentrova-cli.mo.
#include <libintl.h>

#include <clocale>
#include <cstdlib>

#include "cli/messages.h"

namespace zentrova::cli {
namespace {

constexpr char kDomain[] = "zentrova-cli";

}  // namespace

void UseUserLanguage() {
  // Only the messages' language: numbers and characters stay as the client handles them.
  std::setlocale(LC_MESSAGES, "");
  // A test or an unpacked copy may point at its own catalogues.
  const char* folder = std::getenv("ZENTROVA_LOCALEDIR");
  bindtextdomain(kDomain, folder && *folder ? folder : ZENTROVA_LOCALEDIR);
  // The client writes UTF-8 whatever the locale's own character set.
  bind_textdomain_codeset(kDomain, "UTF-8");
}

const char* Translate(const char* english) { return dgettext(kDomain, english); }

}  // namespace zentrova::cli
