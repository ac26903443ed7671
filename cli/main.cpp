// zentrova-cli: the link converter's codec and link conversions for scripts.
#include <chrono>
#include <cstdio>
#include <map>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/codec_words.h"
#include "cli/options.h"
#include "cli/system.h"
#include "cli/terminal.h"
#include "cli/usage_text.h"
#include "codec/codec_error.h"
#include "codec/utf8.h"
#include "messages/messages.h"

namespace zentrova::cli {
namespace {

// The words after the command: its operands, and the options given, by their table names.
struct CommandLine {
  std::vector<std::string> operands;
  std::map<std::string_view, std::string> values;

  bool Given(std::string_view name) const { return values.contains(name); }
  std::optional<std::string> Value(std::string_view name) const {
    const auto found = values.find(name);
    return found == values.end() ? std::nullopt : std::optional<std::string>(found->second);
  }
};

// Splits the words after `command` into options and operands; returns the problem, if any,
// in `problem`. An option the table does not give to the command is unknown to it.
CommandLine Parse(const std::vector<std::string>& words, const Command& command,
                  std::string& problem) {
  CommandLine line;
  bool options = true;
  for (std::size_t i = 0; i < words.size() && problem.empty(); ++i) {
    const std::string& word = words[i];
    if (!options || word.size() < 2 || word[0] != '-') {
      line.operands.push_back(word);
      continue;
    }
    if (word == "--") {
      options = false;
      continue;
    }
    // A value follows the option's name after "=", or is the next word.
    const std::size_t equals = word.find('=');
    const Option* option = OptionNamed(std::string_view(word).substr(0, equals));
    if (!option || !(option->commands & command.bit) ||
        (option->argument.empty() && equals != std::string::npos)) {
      problem = Say("unknown option '{0}'", {word});
    } else if (option->argument.empty()) {
      line.values[option->name] = "";
    } else if (equals != std::string::npos) {
      line.values[option->name] = word.substr(equals + 1);
    } else if (i + 1 == words.size()) {
      problem = Say("{0} needs a value", {option->name});
    } else {
      line.values[option->name] = words[++i];
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

// The check the options ask for: none without --check; `problem` says what is wrong with them.
std::optional<CheckRequest> CheckAskedFor(const CommandLine& line, bool decoding,
                                          std::string& problem) {
  if (!line.Given("--check")) {
    for (const char* name : {"--check-lan", "--check-timeout", "--proxy"}) {
      if (line.Given(name)) problem = Say("{0} goes with --check", {name});
    }
    return std::nullopt;
  }
  if (!decoding) {
    problem = Say("--check asks about decoded addresses: it goes with decode");
    return std::nullopt;
  }
  CheckRequest request;
  request.lan = line.Given("--check-lan");
  request.proxy = line.Value("--proxy");
  if (request.proxy && request.proxy->empty()) {
    problem = Say("--proxy needs a proxy's address");
    return std::nullopt;
  }
  if (const std::optional<std::string> seconds = line.Value("--check-timeout")) {
    const bool digits = !seconds->empty() && seconds->size() <= 4 &&
                        seconds->find_first_not_of("0123456789") == std::string::npos;
    const int value = digits ? std::stoi(*seconds) : 0;
    if (value < 1 || value > 3600) {
      problem =
          Say("--check-timeout '{0}' is not a whole number of seconds from 1 to 3600", {*seconds});
      return std::nullopt;
    }
    request.timeout = std::chrono::seconds(value);
  }
  return request;
}

int Run(const std::vector<std::string>& args) {
  if (args.empty()) return Usage(Say("no command given"));
  const std::string& command = args[0];
  const Option* standing = OptionNamed(command);
  if (command == "help" || (standing && standing->name == "--help")) {
    WriteOut(UsageText());
    return kSuccess;
  }
  if (standing && standing->name == "--version") {
    WriteOut("zentrova-cli " ZENTROVA_VERSION "\n");
    return kSuccess;
  }
  const Command* known = CommandNamed(command);
  if (!known) return Usage(Say("unknown command '{0}'", {command}));
  const bool fileCommand = known->bit & (kEncodeFile | kDecodeFile);
  std::string problem;
  const CommandLine line =
      Parse(std::vector<std::string>(args.begin() + 1, args.end()), *known, problem);
  if (!problem.empty()) return Usage(problem);
  const auto& operands = line.operands;
  if (fileCommand) {
    if (operands.size() != 2) return Usage(Say("give an input and an output file"));
    return RunFileCommand(command == "encode-file", operands[0], operands[1],
                          line.Value("--block-size"));
  }
  if (operands.empty()) {
    return Usage(Say("{0} needs a kind: thunder, flashget, qqdl or decode", {command}));
  }
  const auto mode = lists::ListModeNamed(operands[0]);
  if (!mode) return Usage(Say("unknown link kind '{0}'", {operands[0]}));
  const std::optional<CheckRequest> check =
      CheckAskedFor(line, *mode == lists::ListMode::kDecode, problem);
  if (!problem.empty()) return Usage(problem);
  if (command == "link") {
    if (operands.size() > 2) return Usage(Say("link takes a kind and at most one text"));
    return RunLinkCommand(
        lists::KindMade(*mode),
        operands.size() == 2 ? std::optional<std::string>(operands[1]) : std::nullopt,
        line.Given("--lossy"), check);
  }
  const std::string charset = line.Value("--charset").value_or("auto");
  const std::string to = line.Value("--to").value_or("lines");
  const lists::NamedListWork named = lists::ListWorkNamed(operands[0], charset, to);
  if (named.problem) return Usage(BatchProblem(*named.problem, operands[0], charset, to));
  return RunBatchCommand(named.work, std::vector<std::string>(operands.begin() + 1, operands.end()),
                         check);
}

}  // namespace

int Usage(const std::string& problem) {
  Complain(problem);
  WriteError("\n");
  WriteError(UsageText());
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
