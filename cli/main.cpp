// zentrova-cli: the link converter's codec and link conversions for scripts.
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/codec_words.h"
#include "cli/system.h"
#include "cli/terminal.h"
#include "codec/codec_error.h"
#include "codec/utf8.h"
#include "messages/messages.h"

namespace zentrova::cli {
namespace {

constexpr const char* kHelp = Catalogue(
    "Usage:\n"
    "  zentrova-cli encode-file [--block-size N] [--] IN OUT\n"
    "  zentrova-cli decode-file [--block-size N] [--] IN OUT\n"
    "  zentrova-cli link thunder|flashget|qqdl|decode [--lossy] [--] [TEXT]\n"
    "  zentrova-cli batch thunder|flashget|qqdl|decode [--charset auto|936|utf-8]\n"
    "                     [--to lines|aria2|ef2|json] [--] [FILE...]\n"
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
    "batch converts lists: every line of the FILEs (standard input when none is given, or\n"
    "for -) gives one line on standard output, in order; blank lines stay blank. decode takes\n"
    "the first special link in each line, wherever it stands ([FLASHGET] wrappers and '&'\n"
    "suffixes removed, nested links opened, any address in a Thunder link), and passes plain\n"
    "http, https, ftp, ed2k and magnet addresses through. The other kinds make a link, on one\n"
    "line, of the first plain address in each line. A line that cannot be converted gives an\n"
    "empty line, and a message naming it on standard error; a summary follows the list.\n"
    "Input files may be UTF-8 or GBK, told apart per file. --charset says how the bytes inside\n"
    "links are read or written: auto (UTF-8 when they are valid UTF-8 beyond ASCII, else code\n"
    "page 936; making links, 936), 936, or utf-8. Output is UTF-8.\n"
    "--to says what decode writes: lines (the default), aria2 (an input file for aria2c -i:\n"
    "each download once, its address with the very bytes the link carried, then its file\n"
    "name), ef2 (an export for Internet Download Manager) or json (JSON Lines, one object for\n"
    "each line). The kinds that make links write lines or json.\n"
    "\n"
    "Exit status: 0 success, 1 failure, 2 usage error, 130 cancelled.\n");

// The options each command takes.
struct Accepts {
  bool blockSize = false;
  bool lossy = false;
  bool charset = false;
  bool to = false;
};

struct CommandLine {
  std::vector<std::string> operands;
  std::optional<std::string> blockSize;
  std::optional<std::string> charset;
  std::optional<std::string> to;
  bool lossy = false;
};

// Splits the words after the command into options and operands; returns the problem, if any,
// in `problem`.
CommandLine Parse(const std::vector<std::string>& words, Accepts accepts, std::string& problem) {
  CommandLine line;
  bool options = true;
  // An option with a value takes it from the next word or after "=".
  auto valued = [&](std::size_t& i, std::string_view name, std::optional<std::string>& value) {
    const std::string& word = words[i];
    if (word == name) {
      if (i + 1 == words.size()) {
        problem = Say("{0} needs a value", {name});
        return true;
      }
      value = words[++i];
      return true;
    }
    if (word.starts_with(std::string(name) + "=")) {
      value = word.substr(name.size() + 1);
      return true;
    }
    return false;
  };
  for (std::size_t i = 0; i < words.size() && problem.empty(); ++i) {
    const std::string& word = words[i];
    if (!options || word.size() < 2 || word[0] != '-') {
      line.operands.push_back(word);
    } else if (word == "--") {
      options = false;
    } else if (accepts.blockSize && valued(i, "--block-size", line.blockSize)) {
    } else if (accepts.charset && valued(i, "--charset", line.charset)) {
    } else if (accepts.to && valued(i, "--to", line.to)) {
    } else if (accepts.lossy && word == "--lossy") {
      line.lossy = true;
    } else {
      problem = Say("unknown option '{0}'", {word});
    }
  }
  return line;
}

// Returns what is wrong with the names of batch's kind `kind`, --charset `charset` and --to `to`.
std::string BatchProblem(lists::ListWorkProblem problem, const std::string& kind,
                         const std::string& charset, const std::string& to) {
  switch (problem) {
    case lists::ListWorkProblem::kUnknownMode:
      break;
    case lists::ListWorkProblem::kUnknownCharset:
      return Say("--charset '{0}' is none of auto, 936 and utf-8", {charset});
    case lists::ListWorkProblem::kUnknownForm:
      return Say("--to '{0}' is none of lines, aria2, ef2 and json", {to});
    case lists::ListWorkProblem::kFormHoldsOnlyDownloads:
      return Say("--to {0} holds only decoded addresses: making links writes lines or json", {to});
  }
  return Say("unknown link kind '{0}'", {kind});
}

int Run(const std::vector<std::string>& args) {
  if (args.empty()) return Usage(Say("no command given"));
  const std::string& command = args[0];
  if (command == "--help" || command == "-h" || command == "help") {
    WriteOut(Translate(kHelp));
    return kSuccess;
  }
  if (command == "--version" || command == "-V") {
    WriteOut("zentrova-cli " ZENTROVA_VERSION "\n");
    return kSuccess;
  }
  const bool fileCommand = command == "encode-file" || command == "decode-file";
  if (!fileCommand && command != "link" && command != "batch") {
    return Usage(Say("unknown command '{0}'", {command}));
  }
  const Accepts accepts{fileCommand, command == "link", command == "batch", command == "batch"};
  std::string problem;
  const CommandLine line =
      Parse(std::vector<std::string>(args.begin() + 1, args.end()), accepts, problem);
  if (!problem.empty()) return Usage(problem);
  const auto& operands = line.operands;
  if (fileCommand) {
    if (operands.size() != 2) return Usage(Say("give an input and an output file"));
    return RunFileCommand(command == "encode-file", operands[0], operands[1], line.blockSize);
  }
  if (operands.empty()) {
    return Usage(Say("{0} needs a kind: thunder, flashget, qqdl or decode", {command}));
  }
  const auto mode = lists::ListModeNamed(operands[0]);
  if (!mode) return Usage(Say("unknown link kind '{0}'", {operands[0]}));
  if (command == "link") {
    if (operands.size() > 2) return Usage(Say("link takes a kind and at most one text"));
    return RunLinkCommand(
        lists::KindMade(*mode),
        operands.size() == 2 ? std::optional<std::string>(operands[1]) : std::nullopt, line.lossy);
  }
  const std::string charset = line.charset.value_or("auto");
  const std::string to = line.to.value_or("lines");
  const lists::NamedListWork named = lists::ListWorkNamed(operands[0], charset, to);
  if (named.problem) return Usage(BatchProblem(*named.problem, operands[0], charset, to));
  return RunBatchCommand(named.work,
                         std::vector<std::string>(operands.begin() + 1, operands.end()));
}

}  // namespace

int Usage(const std::string& problem) {
  Complain(problem);
  WriteError("\n");
  WriteError(Translate(kHelp));
  return kUsage;
}

}  // namespace zentrova::cli

namespace {

int Main(const std::vector<std::string>& args) {
  using namespace zentrova::cli;
  sys::PrepareStandardStreams();
  sys::ReturnLargeBlocks();
  UseUserLanguage();
  int status = kFailure;
  try {
    status = Run(args);
  } catch (const std::bad_alloc&) {
    // Whatever ran out of memory, nothing half-made has reached standard output.
    Complain(Say("error {0}: ", {std::to_string(zentrova::errors::kOutOfMemory)}) +
             Say(zentrova::cli::EnglishOf(zentrova::errors::texts::kOutOfMemory)));
  }
  return CloseStandardOutput(status);
}

}  // namespace

#ifdef _WIN32
// The command line as Windows has it, UTF-16, so that every name reaches the file layer whole;
// the client carries it as UTF-8.
int wmain(int argc, wchar_t* argv[]) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    args.push_back(zentrova::ToUtf8(reinterpret_cast<const char16_t*>(argv[i])));
  }
  return Main(args);
}
#else
int main(int argc, char* argv[]) { return Main(std::vector<std::string>(argv + 1, argv + argc)); }
#endif
