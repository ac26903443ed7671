// Encode then Decode gives back the text as the narrow code page holds it. Built twice: with
// ZENTROVA_FUZZ_CODE_PAGE 936 (double-byte) and 1252 (single-byte).
#include <cstdlib>

#include "codec/base64.h"
#include "codec/code_page.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool pageSet = zentrova::codepage::SetNarrowCodePage(ZENTROVA_FUZZ_CODE_PAGE);
  if (!pageSet) std::abort();
  static zentrova::Base64 codec;
  codec.ClearError();
  const std::u16string text = zentrova::fuzz::Utf16(data, size);
  const std::u16string encoded = codec.Encode(text);
  const std::u16string decoded = codec.Decode(encoded);
  if (codec.LastErrorCode() != 0) std::abort();
  if (decoded != zentrova::codepage::FromNarrow(zentrova::codepage::ToNarrow(text))) std::abort();
  return 0;
}
