#include "machine/machine_here.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "machine/hosts_file.h"
#include "machine/machine_system.h"

namespace zentrova::machine {
namespace {

// A hosts file that blocks advertisers can hold a million lines; one past this is no hosts
// file, and is not held.
constexpr std::size_t kLargestHostsFile = std::size_t{64} << 20;

// The hosts file's bytes; none when it cannot be read, as a resolver then has none either.
std::string HostsText() {
  const char* scratch = std::getenv("ZENTROVA_HOSTS_FILE");
  const std::filesystem::path path =
      scratch && *scratch ? std::filesystem::path(scratch) : sys::HostsFilePath();
  std::ifstream file(path, std::ios::binary);
  std::string text;
  char buffer[1 << 16];
  while (file && text.size() <= kLargestHostsFile) {
    file.read(buffer, sizeof buffer);
    text.append(buffer, static_cast<std::size_t>(file.gcount()));
  }
  if (text.size() > kLargestHostsFile) text.resize(kLargestHostsFile);
  return text;
}

}  // namespace

const lists::ThisMachine& ThisMachineHere() {
  static const lists::ThisMachine machine =
      FromHostsFile(HostsText(), sys::OwnName(), sys::OwnAddresses());
  return machine;
}

}  // namespace zentrova::machine
