// What the client needs of the operating system, behind one seam: its standard streams, files
// opened by name, file names as the command line gives them, and Ctrl-C. One source file a
// system: system_posix.cpp, system_windows.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "codec/file_io.h"

namespace zentrova::cli::sys {

enum class Stream { kIn = 0, kOut = 1, kErr = 2 };

// Readies the standard streams before anything is read or written: descriptors 0, 1 and 2 are
// open (POSIX: a closed one is replaced by one that fails every transfer, so that no file the
// client opens takes its place), and bytes pass unchanged (Windows: no CR added before LF).
void PrepareStandardStreams();

// Has memory that a long line took go back to the system when it is freed, rather than stay
// with the program for the next line (glibc keeps freed blocks up to tens of megabytes).
void ReturnLargeBlocks();

// Whether `stream` is a terminal (a console on Windows), where progress is drawn.
bool IsTerminal(Stream stream);

// The size of `stream` when it is a regular file (which gains nothing from early flushes, and
// whose size is known before it is read); nothing for a terminal, pipe or device.
std::optional<std::uint64_t> RegularFileSize(Stream stream);

// Whether standard output and standard error may reach one reader (one terminal, pipe or file),
// so that their order matters; true when it cannot be told.
bool OutputAndErrorMeet();

// Whether `stream` is a Windows console, which reads bytes in the console's code page: UTF-8
// text goes to it through WriteToConsole as characters instead.
bool IsConsole(Stream stream);
void WriteToConsole(Stream stream, std::string_view text);

// The descriptor of standard input, and of the file `name` (as the command line gave it) opened
// for reading: -1 with errno set when it cannot be opened.
int StandardInput();
int StandardOutput();
int OpenForReading(const std::string& name);
void Close(int fd);

// The file on a disk that the descriptor `fd` reaches, or that `name` (as the command line gave
// it) names, looked at without opening it; nothing for a terminal, pipe or device.
std::optional<fileio::FileIdentity> DiskFileOf(int fd);
std::optional<fileio::FileIdentity> DiskFileNamed(const std::string& name);

// Reads at most `size` bytes: the count, 0 at the end, or -1 with errno set (EINTR: try again).
long Read(int fd, char* buffer, std::size_t size);

// Returns the file that a command-line word names, as the codec takes names.
std::u16string FileName(const std::string& word);

// Returns a file name as it is shown in messages.
std::string ShownName(std::u16string_view name);

// Returns the system's words for the error number `error`.
std::string ErrorText(int error);

// Ctrl-C (and Ctrl-Break on Windows) asks the file layer to stop, between CatchInterrupt and
// ReleaseInterrupt, instead of ending the process; a list run asks fileio::InterruptRequested
// too.
void CatchInterrupt();
void ReleaseInterrupt();

}  // namespace zentrova::cli::sys
