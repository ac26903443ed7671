// Decode of arbitrary text: it either succeeds with no error recorded, or fails with error 5
// and an empty result, and never reads or writes out of bounds.
#include <cstdlib>

#include "codec/base64.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static zentrova::Base64 codec;
  codec.ClearError();
  const std::u16string result = codec.Decode(zentrova::fuzz::Utf16(data, size));
  const std::int32_t code = codec.LastErrorCode();
  if (code != 0 && (code != 5 || !result.empty() || codec.LastErrorDescription().empty())) {
    std::abort();
  }
  return 0;
}
