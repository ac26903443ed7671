#include "machine/hosts_file.h"

#include <algorithm>
#include <string>

#include "codec/utf8.h"

namespace zentrova::machine {
namespace {

struct HostsLine {
  lists::IpAddress address;
  std::vector<std::u16string> names;
};

// The lines of a hosts file that map names to an address, as resolvers read them: fields split
// at blanks, "#" to the end of the line a comment, a line whose first field is no address left
// out.
std::vector<HostsLine> HostsLines(std::string_view hosts) {
  std::vector<HostsLine> lines;
  while (!hosts.empty()) {
    const std::size_t end = std::min(hosts.find('\n'), hosts.size());
    std::string_view line = hosts.substr(0, end);
    hosts.remove_prefix(std::min(end + 1, hosts.size()));
    line = line.substr(0, line.find('#'));
    std::vector<std::u16string> fields;
    constexpr std::string_view kBlanks = " \t\r\f\v";
    for (std::size_t at = line.find_first_not_of(kBlanks); at != std::string_view::npos;) {
      const std::size_t stop = std::min(line.find_first_of(kBlanks, at), line.size());
      fields.push_back(FromUtf8(line.substr(at, stop - at)));
      at = line.find_first_not_of(kBlanks, stop);
    }
    if (fields.size() < 2) continue;
    const auto address = lists::IpLiteral(fields.front());
    if (!address) continue;
    fields.erase(fields.begin());
    lines.push_back({*address, std::move(fields)});
  }
  return lines;
}

std::u16string Lowered(std::u16string_view name) {
  std::u16string lowered(name);
  for (char16_t& c : lowered) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  while (lowered.ends_with(u'.')) lowered.pop_back();
  return lowered;
}

}  // namespace

lists::ThisMachine FromHostsFile(std::string_view hosts, std::u16string_view ownName,
                                 std::vector<lists::IpAddress> ownAddresses) {
  std::vector<std::u16string> names;
  const std::u16string own = Lowered(ownName);
  if (!own.empty()) {
    names.push_back(own);
    names.push_back(own.substr(0, own.find(u'.')));
  }
  const std::vector<HostsLine> lines = HostsLines(hosts);
  const auto isOwnName = [&](const std::u16string& name) {
    return std::find(names.begin(), names.end(), Lowered(name)) != names.end();
  };
  // First the addresses the file gives the machine's own name, then every name at any of them.
  for (const HostsLine& line : lines) {
    if (std::any_of(line.names.begin(), line.names.end(), isOwnName)) {
      ownAddresses.push_back(line.address);
    }
  }
  for (const HostsLine& line : lines) {
    const bool here =
        lists::IsLoopback(line.address) ||
        std::find(ownAddresses.begin(), ownAddresses.end(), line.address) != ownAddresses.end();
    if (here) names.insert(names.end(), line.names.begin(), line.names.end());
  }
  return lists::ThisMachine(std::move(names), std::move(ownAddresses));
}

}  // namespace zentrova::machine
