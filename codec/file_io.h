// The file layer of the block-wise file routine: the existence test, and binary files read and
// written strictly in sequence. Failures throw CodecError with the classic run-time error number
// of their cause and the operating system's description, the file's name in quotes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "codec/codec_error.h"

namespace zentrova::fileio {

// Returns the path a UTF-16 file name stands for. On systems whose names are bytes, lone
// surrogates U+DC80..U+DCFF stand for bytes that are not UTF-8; any other lone surrogate names
// no file and throws CodecError (52, bad file name).
std::filesystem::path PathOf(std::u16string_view name);

// Returns `path` as the program shows it: the inverse of `PathOf`.
std::u16string NameOf(const std::filesystem::path& path);

enum class Presence { kOrdinaryFile, kMissing };

// The existence test: kMissing when nothing is found under `path` (on Windows also a hidden or
// system file); kOrdinaryFile for a file the routine may read. Throws CodecError when something
// else is there (a folder, a pipe, a device) or the search itself fails.
Presence FindInput(const std::filesystem::path& path);

// Which file a handle reaches, whatever name it was opened by.
struct FileIdentity {
  std::uint64_t volume = 0;
  std::uint64_t file = 0;
  bool operator==(const FileIdentity&) const = default;
};

#ifdef _WIN32
using Handle = void*;
#else
using Handle = int;
#endif

// The file on a disk that `handle` reaches, or that `path` names (looked at without opening it
// for reading or writing, so that a named pipe's writer is not woken): what tells that an output
// would overwrite an input. Nothing for a terminal, pipe or device, which many readers and
// writers share, nor when the system cannot say.
std::optional<FileIdentity> DiskFileIdentity(Handle handle);
std::optional<FileIdentity> DiskFileIdentity(const std::filesystem::path& path);

class InputFile {
 public:
  explicit InputFile(const std::filesystem::path& path);  // opens for reading, binary
  ~InputFile();                                           // closes quietly if still open
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  std::int64_t Length() const;
  FileIdentity Identity() const;
  // Reads up to `size` bytes at the current position; returns how many were read.
  std::size_t Read(char* buffer, std::size_t size);
  // True once the position has reached the end that was last seen.
  bool AtEnd() const { return atEnd_; }
  void Close();

 private:
  std::filesystem::path path_;
  Handle handle_;
  bool open_ = false;
  bool atEnd_ = false;
  std::int64_t position_ = 0;
};

class OutputFile {
 public:
  // Opens `path` for writing from its first byte, emptied; creates it when missing. Throws
  // CodecError, and leaves the file as it was, when `path` reaches the file `input` reads.
  OutputFile(const std::filesystem::path& path, const InputFile& input);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  void Write(std::string_view bytes);
  void Close();

 private:
  std::filesystem::path path_;
  Handle handle_;
  bool open_ = false;
};

// Throws CodecError(code) whose description says what failed (`action`), on which file, and why
// (`cause`, in the system's words): the one form every file failure takes.
[[noreturn]] void FailOn(std::int32_t code, std::u16string_view action,
                         const std::filesystem::path& path, std::u16string_view cause);

// Throws the failure that `path` and `input` name the same file.
[[noreturn]] void FailSameFile(const std::filesystem::path& path);

// Ctrl-C for a run blocked in the file layer. A signal handler may call RequestInterrupt; a
// call into the system that the signal interrupts then throws CodecError (18, user interrupt)
// instead of trying again. ClearInterrupt forgets the request.
void RequestInterrupt() noexcept;
void ClearInterrupt() noexcept;
bool InterruptRequested() noexcept;

}  // namespace zentrova::fileio
