// zentrova-cli: the link converter's codec and link conversions for scripts.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/cli_commands.h"

namespace {

constexpr char kHelp[] =
    "Usage:\n"
    "  zentrova-cli encode-file IN OUT [--block-size N]\n"
    "  zentrova-cli decode-file IN OUT [--block-size N]\n"
    "  zentrova-cli link thunder|flashget|qqdl|decode [TEXT]\n"
    "  zentrova-cli --help | --version\n"
    "\n"
    "encode-file writes IN as Base64 text in lines of 72 characters; decode-file turns such\n"
    "text back into bytes. Both read IN in blocks (--block-size bytes, rounded up to whole\n"
    "lines; 1048576 by default), show progress on a terminal and stop at Ctrl-C, keeping the\n"
    "blocks already written.\n"
    "\n"
    "link makes a Thunder, FlashGet or QQ Whirlwind link of an address that holds http://,\n"
    "or turns any such link back into the address. TEXT defaults to standard input, less\n"
    "its final line ending. The result goes to standard output.\n"
    "\n"
    "Exit status: 0 success, 1 failure, 2 usage error, 130 cancelled.\n";

int Usage(const char* problem) {
  std::fprintf(stderr, "zentrova-cli: %s\n\n%s", problem, kHelp);
  return zentrova::cli::kUsage;
}

}  // namespace

int main(int argc, char* argv[]) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return Usage("no command given");
  const std::string& command = args[0];
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kHelp, stdout);
    return zentrova::cli::kSuccess;
  }
  if (command == "--version" || command == "-V") {
    std::fputs("zentrova-cli " ZENTROVA_VERSION "\n", stdout);
    return zentrova::cli::kSuccess;
  }

  if (command == "encode-file" || command == "decode-file") {
    std::vector<std::string> files;
    std::optional<std::int32_t> blockSize;
    for (std::size_t i = 1; i < args.size(); ++i) {
      if (args[i] == "--block-size") {
        if (++i == args.size()) return Usage("--block-size needs a number");
        std::int32_t value = 0;
        const char* end = args[i].data() + args[i].size();
        const auto [at, error] = std::from_chars(args[i].data(), end, value);
        if (error != std::errc() || at != end) return Usage("--block-size needs a whole number");
        blockSize = value;
      } else {
        files.push_back(args[i]);
      }
    }
    if (files.size() != 2) return Usage("give an input and an output file");
    return zentrova::cli::RunFileCommand(command == "encode-file", files[0], files[1], blockSize);
  }

  if (command == "link") {
    if (args.size() < 2 || args.size() > 3) return Usage("link takes a kind and at most one text");
    return zentrova::cli::RunLinkCommand(
        args[1], args.size() == 3 ? std::optional<std::string>(args[2]) : std::nullopt);
  }
  return Usage(("unknown command '" + command + "'").c_str());
}
