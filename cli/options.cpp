// The client's table of commands and options. A new option is a row of kOptions (and the
// command's use of its value); its line in both man pages is kept in step by
// tests/cli/options_documented.sh.
#include "cli/options.h"

#include <algorithm>
#include <iterator>

#include "messages/messages.h"

namespace zentrova::cli {
namespace {

constexpr std::string_view kKinds = "thunder|flashget|qqdl|decode";

const Command kCommands[] = {
    {"encode-file", kEncodeFile, "", Catalogue("IN OUT")},
    {"decode-file", kDecodeFile, "", Catalogue("IN OUT")},
    {"link", kLink, kKinds, Catalogue("[TEXT]")},
    {"batch", kBatch, kKinds, Catalogue("[FILE...]")},
};

const Option kOptions[] = {
    {"--block-size", "", "N", kEncodeFile | kDecodeFile},
    {"--lossy", "", "", kLink},
    {"--charset", "", "auto|936|utf-8", kBatch},
    {"--to", "", "lines|aria2|ef2|json", kBatch},
    {"--check", "", "", kLink | kBatch},
    {"--check-lan", "", "", kLink | kBatch},
    {"--check-timeout", "", "S", kLink | kBatch},
    {"--proxy", "", "URL", kLink | kBatch},
    {"--help", "-h", "", kNoCommand},
    {"--version", "-V", "", kNoCommand},
};

}  // namespace

std::span<const Command> TheCommands() { return kCommands; }

std::span<const Option> TheOptions() { return kOptions; }

const Command* CommandNamed(std::string_view name) {
  const auto found = std::find_if(std::begin(kCommands), std::end(kCommands),
                                  [&](const Command& c) { return c.name == name; });
  return found == std::end(kCommands) ? nullptr : found;
}

const Option* OptionNamed(std::string_view word) {
  const auto found = std::find_if(std::begin(kOptions), std::end(kOptions), [&](const Option& o) {
    return o.name == word || (!o.shortName.empty() && o.shortName == word);
  });
  return found == std::end(kOptions) ? nullptr : found;
}

}  // namespace zentrova::cli
