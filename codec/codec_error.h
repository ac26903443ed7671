// The codec's failures in one place: the exception that carries them and every number the
// codec and its file layer report, with the texts they share. Everything below `base64.h`
// includes this rather than the class's header.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "codec/failure_texts.h"

namespace zentrova {

// A failure that reaches a caller: construction of a codec whose element cannot be made, or a
// block size that overflows. Inside the codec it also carries a failure of the file layer or
// the component to the place where it becomes the error state.
class CodecError : public std::runtime_error {
 public:
  CodecError(std::int32_t code, std::u16string description);
  std::int32_t code() const noexcept;
  const std::u16string& description() const noexcept;

 private:
  std::int32_t code_;
  std::u16string description_;
};

namespace errors {

// The classic run-time error numbers, for failures that have one.
inline constexpr std::int32_t kInvalidArgument = 5;  // also: text that is not valid Base64
inline constexpr std::int32_t kOverflow = 6;
inline constexpr std::int32_t kOutOfMemory = 7;
inline constexpr std::int32_t kDivisionByZero = 11;
inline constexpr std::int32_t kUserInterrupt = 18;
inline constexpr std::int32_t kBadFileName = 52;
inline constexpr std::int32_t kFileNotFound = 53;
inline constexpr std::int32_t kDeviceIoError = 57;
inline constexpr std::int32_t kDiskFull = 61;
inline constexpr std::int32_t kPermissionDenied = 70;
inline constexpr std::int32_t kPathFileAccessError = 75;
inline constexpr std::int32_t kPathNotFound = 76;
inline constexpr std::int32_t kCannotCreateObject = 429;  // a host without the component

// The codec's own numbers.
inline constexpr std::int32_t kComponentMissing = 90001;
inline constexpr std::int32_t kInputMissing = 90002;

// The window's own report of running out of memory says what the codec says.
inline constexpr std::u16string_view kOutOfMemoryText = texts::kOutOfMemory;

// Returns `n` in decimal, for descriptions.
std::u16string Number(std::int64_t n);

// Returns `name` in single quotes, as every description quotes file names.
std::u16string Quoted(std::u16string_view name);

}  // namespace errors
}  // namespace zentrova
