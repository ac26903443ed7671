// zentrova-cli: the link converter's codec and link conversions for scripts.
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/terminal.h"
#include "codec/codec_error.h"
#include "codec/utf8.h"

namespace zentrova::cli {
namespace {

constexpr char kHelp[] =
    "Usage:\n"
    "  zentrova-cli encode-file [--block-size N] [--] IN OUT\n"
    "  zentrova-cli decode-file [--block-size N] [--] IN OUT\n"
    "  zentrova-cli link thunder|flashget|qqdl|decode [--lossy] [--] [TEXT]\n"
    "  zentrova-cli --help | --version\n"
    "\n"
    "encode-file writes IN as Base64 text in lines of 72 characters; decode-file turns such\n"
    "text back into bytes. Both read IN in blocks (--block-size bytes, rounded up to whole\n"
    "lines; 1048576 by default), show progress on a terminal and stop at Ctrl-C, keeping the\n"
    "blocks already written. IN and OUT must be different files. A block of Base64 text that\n"
    "cannot be decoded is reported and skipped, and the run goes on.\n"
    "\n"
    "link makes a Thunder, FlashGet or QQ Whirlwind link of an address that holds http://,\n"
    "or turns any such link back into the address. TEXT defaults to standard input; spaces,\n"
    "tabs and line ends around it are ignored. The result goes to standard output. Characters\n"
    "that code page 936 cannot hold would become '?': that fails unless --lossy is given.\n"
    "\n"
    "Exit status: 0 success, 1 failure, 2 usage error, 130 cancelled.\n";

struct CommandLine {
  std::vector<std::string> operands;
  std::optional<std::string> blockSize;
  bool lossy = false;
};

// Splits the words after the command into options and operands; returns the problem, if any,
// in `problem`.
CommandLine Parse(const std::vector<std::string>& words, bool fileCommand, std::string& problem) {
  CommandLine line;
  bool options = true;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (!options || word.size() < 2 || word[0] != '-') {
      line.operands.push_back(word);
    } else if (word == "--") {
      options = false;
    } else if (fileCommand && word == "--block-size") {
      if (i + 1 == words.size()) {
        problem = "--block-size needs a value";
        return line;
      }
      line.blockSize = words[++i];
    } else if (fileCommand && word.starts_with("--block-size=")) {
      line.blockSize = word.substr(std::string_view("--block-size=").size());
    } else if (!fileCommand && word == "--lossy") {
      line.lossy = true;
    } else {
      problem = "unknown option '" + word + "'";
      return line;
    }
  }
  return line;
}

int Run(const std::vector<std::string>& args) {
  if (args.empty()) return Usage("no command given");
  const std::string& command = args[0];
  if (command == "--help" || command == "-h" || command == "help") {
    WriteOut(kHelp);
    return kSuccess;
  }
  if (command == "--version" || command == "-V") {
    WriteOut("zentrova-cli " ZENTROVA_VERSION "\n");
    return kSuccess;
  }
  const bool fileCommand = command == "encode-file" || command == "decode-file";
  if (!fileCommand && command != "link") return Usage("unknown command '" + command + "'");

  std::string problem;
  const CommandLine line =
      Parse(std::vector<std::string>(args.begin() + 1, args.end()), fileCommand, problem);
  if (!problem.empty()) return Usage(problem);
  const auto& operands = line.operands;
  if (fileCommand) {
    if (operands.size() != 2) return Usage("give an input and an output file");
    return RunFileCommand(command == "encode-file", operands[0], operands[1], line.blockSize);
  }
  if (operands.empty() || operands.size() > 2)
    return Usage("link takes a kind and at most one text");
  return RunLinkCommand(
      operands[0], operands.size() == 2 ? std::optional<std::string>(operands[1]) : std::nullopt,
      line.lossy);
}

}  // namespace

int Usage(const std::string& problem) {
  Complain(problem);
  std::fputs("\n", stderr);
  std::fputs(kHelp, stderr);
  return kUsage;
}

}  // namespace zentrova::cli

int main(int argc, char* argv[]) {
  using namespace zentrova::cli;
  GuardStandardStreams();
  int status = kFailure;
  try {
    status = Run(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::bad_alloc&) {
    // Whatever ran out of memory, nothing half-made has reached standard output.
    Complain("error " + std::to_string(zentrova::errors::kOutOfMemory) + ": " +
             zentrova::ToUtf8(zentrova::errors::kOutOfMemoryText));
  }
  return CloseStandardOutput(status);
}
