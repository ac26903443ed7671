// The file layer of the block-wise file routine: the ordinary-file test, and binary files
// read and written strictly in sequence. Failures throw CodecError with the classic run-time
// error number of their cause and the operating system's description.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zentrova::fileio {

// The classic run-time error numbers that file failures are reported with.
inline constexpr std::int32_t kOutOfMemory = 7;
inline constexpr std::int32_t kOverflow = 6;
inline constexpr std::int32_t kDivisionByZero = 11;
inline constexpr std::int32_t kInvalidArgument = 5;
inline constexpr std::int32_t kFileNotFound = 53;
inline constexpr std::int32_t kDeviceIoError = 57;
inline constexpr std::int32_t kDiskFull = 61;
inline constexpr std::int32_t kPermissionDenied = 70;
inline constexpr std::int32_t kPathFileAccessError = 75;
inline constexpr std::int32_t kPathNotFound = 76;

// Returns true when `name` is an ordinary file: on Windows one that is neither hidden, nor a
// system file, nor a directory; elsewhere a regular file or a link to one.
bool IsOrdinaryFile(const std::u16string& name);

#ifdef _WIN32
using Handle = void*;
#else
using Handle = int;
#endif

class InputFile {
 public:
  explicit InputFile(const std::u16string& name);  // opens for reading, binary
  ~InputFile();                                    // closes quietly if still open
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  std::int64_t Length() const;
  // Reads up to `size` bytes at the current position; returns how many were read.
  std::size_t Read(char* buffer, std::size_t size);
  // True once the position has reached the end that was last seen.
  bool AtEnd() const { return atEnd_; }
  void Close();

 private:
  std::u16string name_;
  Handle handle_;
  bool open_ = false;
  bool atEnd_ = false;
  std::int64_t position_ = 0;
};

class OutputFile {
 public:
  explicit OutputFile(const std::u16string& name);  // creates or truncates, binary
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  void Write(std::string_view bytes);
  void Close();

 private:
  std::u16string name_;
  Handle handle_;
  bool open_ = false;
};

}  // namespace zentrova::fileio
