// The client's standard streams: messages on standard error, results on standard output, and
// every write to them checked, so that no failure passes for success.
#pragma once

#include <string>
#include <string_view>

namespace zentrova::cli {

// Writes "zentrova-cli: " and `message` as one line on standard error.
void Complain(std::string_view message);

// Writes `text` (UTF-8) to standard error at once.
void WriteError(std::string_view text);

// Lets messages wait in a buffer where no one watches them arrive (standard error is a file or a
// pipe of its own), for a run that may say one for each of a million lines; FlushErrors sends
// them on, and so does the end of the program.
void BufferErrors();
void FlushErrors();

// Writes `text` to standard output; false when it could not be written.
bool WriteOut(std::string_view text);

// Adds `text` to standard output's buffer; a failure shows when the output is closed.
void WriteOutBuffered(std::string_view text);

// Flushes and closes standard output. Returns `status`, or kFailure, with a message, when
// anything written to it was lost.
int CloseStandardOutput(int status);

}  // namespace zentrova::cli
