// The client's standard streams: messages on standard error, results on standard output, and
// every write to them checked, so that no failure passes for success.
#pragma once

#include <string>
#include <string_view>

namespace zentrova::cli {

// Makes sure descriptors 0, 1 and 2 are open, so that no file the client opens takes the place
// of a closed standard stream. A closed stream is replaced by one that fails every transfer.
void GuardStandardStreams();

// Returns `text` for the terminal: file names exactly as the system spells them.
std::string ForTerminal(std::u16string_view text);

// Writes "zentrova-cli: " and `message` as one line on standard error.
void Complain(std::string_view message);

// Writes `text` to standard output; false when it could not be written.
bool WriteOut(std::string_view text);

// Adds `text` to standard output's buffer; a failure shows when the output is closed.
void WriteOutBuffered(std::string_view text);

// Flushes and closes standard output. Returns `status`, or kFailure, with a message, when
// anything written to it was lost.
int CloseStandardOutput(int status);

}  // namespace zentrova::cli
