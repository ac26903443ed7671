// The usage text: its synopsis is written from the table of options, so that an option the
// parser knows is always shown, and only the prose below it is written by hand.
#include "cli/usage_text.h"

#include <string_view>

#include "cli/options.h"
#include "messages/messages.h"

namespace zentrova::cli {
namespace {

// A synopsis line longer than this goes on under the command's first operand.
constexpr std::size_t kWidth = 80;

constexpr const char* kDescription = Catalogue(
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
    "--check (with decode) asks each http, https and ftp address's server whether it still\n"
    "serves the file, without downloading it, and says alive, dead, unknown or refused: after a\n"
    "tab in lines, as \"check\" in json; aria2 and ef2 leave out what is dead or refused.\n"
    "Nothing is asked of this machine, nor of private networks unless --check-lan.\n"
    "--check-timeout S gives each address S seconds (15); --proxy URL goes before http_proxy\n"
    "and the other proxy variables.\n"
    "\n"
    "Exit status: 0 success, 1 failure, 2 usage error, 130 cancelled.\n");

// Columns, as a terminal shows them: a Chinese character takes two.
std::size_t Columns(std::string_view text) {
  std::size_t columns = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if ((byte & 0xC0) == 0x80) continue;
    columns += byte >= 0xE0 ? 2 : 1;
  }
  return columns;
}

std::string SynopsisOf(const Command& command) {
  std::string head = "  zentrova-cli " + std::string(command.name) + " ";
  const std::string indent(Columns(head), ' ');
  std::string text = head;
  std::string line = head;
  bool lineEmpty = true;
  auto add = [&](std::string_view piece) {
    if (!lineEmpty && Columns(line) + 1 + Columns(piece) > kWidth) {
      text += "\n" + indent;
      line = indent;
    } else if (!lineEmpty) {
      text += " ";
      line += " ";
    }
    text += piece;
    line += piece;
    lineEmpty = false;
  };
  if (!command.kinds.empty()) add(command.kinds);
  for (const Option& option : TheOptions()) {
    if (!(option.commands & command.bit)) continue;
    std::string piece = "[" + std::string(option.name);
    if (!option.argument.empty()) piece += " " + std::string(option.argument);
    add(piece + "]");
  }
  add("[--]");
  add(Translate(command.operands));
  return text + "\n";
}

}  // namespace

std::string UsageText() {
  std::string text = Translate(Catalogue("Usage:\n"));
  for (const Command& command : TheCommands()) text += SynopsisOf(command);
  std::string standing;
  for (const Option& option : TheOptions()) {
    if (option.commands != kNoCommand) continue;
    standing += standing.empty() ? "  zentrova-cli " : " | ";
    standing += option.name;
  }
  return text + standing + "\n\n" + Translate(kDescription);
}

}  // namespace zentrova::cli
