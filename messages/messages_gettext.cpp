// The user's language through glibc's gettext, from the catalogue compiled to zentrova-cli.mo.
#include <libintl.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "messages/messages.h"

namespace zentrova::cli {
namespace {

constexpr char kDomain[] = "zentrova-cli";

// Returns whether gettext finds a catalogue of the user's language under `folder`. A
// catalogue's header is the translation of "", so no sentence of ours need be guessed, and a
// language without a catalogue finds nothing anywhere.
bool HoldsCatalogue(const std::string& folder) {
  bindtextdomain(kDomain, folder.c_str());
  return *dgettext(kDomain, "") != '\0';
}

// The folders that may hold the catalogue, the installed ones first. The program's own folder
// comes from the system rather than argv[0], which a caller may set to anything.
std::vector<std::string> CatalogueFolders() {
  std::vector<std::string> folders;
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  const std::filesystem::path beside = error ? std::filesystem::path() : program.parent_path();
  // Where the package put it, found from the program so that any prefix works (the Debian
  // package installs under /usr whatever prefix the build was made for).
  if (!beside.empty()) {
    folders.push_back((beside / ZENTROVA_LOCALEDIR_FROM_BINDIR).lexically_normal().string());
  }
  folders.push_back(ZENTROVA_LOCALEDIR);
  // The build folder's copy, so that the program speaks the user's language before it is
  // installed too.
  if (!beside.empty()) folders.push_back((beside / "locale").string());
  return folders;
}

}  // namespace

void UseUserLanguage() {
  // Only the messages' language: numbers stay as the client handles them.
  std::setlocale(LC_MESSAGES, "");
  // The system's own words (strerror) come in that language and in the characters' encoding,
  // which under the C locale is ASCII and makes every Chinese word "?": UTF-8, as the client
  // writes. The client reads and converts no characters through the locale itself.
  if (!std::setlocale(LC_CTYPE, "C.UTF-8")) std::setlocale(LC_CTYPE, "en_US.UTF-8");
  // The client writes UTF-8 whatever the locale's own character set.
  bind_textdomain_codeset(kDomain, "UTF-8");
  // A test or an unpacked copy may point at its own catalogues; that folder is used alone.
  if (const char* folder = std::getenv("ZENTROVA_LOCALEDIR"); folder && *folder) {
    bindtextdomain(kDomain, folder);
    return;
  }
  for (const std::string& folder : CatalogueFolders()) {
    if (HoldsCatalogue(folder)) return;
  }
  bindtextdomain(kDomain, ZENTROVA_LOCALEDIR);
}

const char* Translate(const char* english) { return dgettext(kDomain, english); }

}  // namespace zentrova::cli
