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

// Lets results leave in big writes (64 KiB), and messages wait in a buffer too where no one
// watches them arrive (standard error is a file or a pipe of its own), for a run that may say one
// for each of a million lines. Results never leave before the messages said ahead of them;
// FlushErrors sends the messages on, and so does the end of the program. Call it before anything
// is written to either stream.
void BufferStreams();
void FlushErrors();

// Sends the messages, then the results, on their way.
void FlushOutput();

// Writes `text` to standard output; false when it could not be written.
bool WriteOut(std::string_view text);

// Adds `text` to standard output's buffer; a failure shows when the output is closed.
void WriteOutBuffered(std::string_view text);

// Flushes and closes standard output. Returns `status`, or kFailure, with a message, when
// anything written to it was lost.
int CloseStandardOutput(int status);

}  // namespace zentrova::cli
