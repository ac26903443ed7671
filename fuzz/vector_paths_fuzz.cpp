// The vector paths against the plain one on arbitrary input: the first byte picks where the
// rest is cut into two chunks; the rest is decoded as bytes and as UTF-16 text, and encoded,
// on every path this processor has. Any difference is a crash.
#include <cstdlib>
#include <string>
#include <vector>

#include "codec/base64_simd.h"
#include "codec/base64_transform.h"
#include "fuzz/fuzz_input.h"

namespace {

using zentrova::base64::DecodeFailure;
using zentrova::base64::Decoder;
namespace simd = zentrova::base64::simd;

template <typename Char>
std::string Record(std::basic_string_view<Char> text, std::size_t cut) {
  Decoder decoder;
  std::string out, record;
  for (const auto piece : {text.substr(0, cut), text.substr(cut)}) {
    const DecodeFailure failure = decoder.Feed(piece, out);
    record += std::to_string(static_cast<int>(failure.kind)) + ":" +
              std::to_string(failure.position) + ":" + std::to_string(failure.character) + ":" +
              std::to_string(decoder.BytesInLastChunk()) + ";";
    if (failure) decoder.Resync();
  }
  record += std::to_string(static_cast<int>(decoder.Finish(out).kind)) + "|";
  return record + out;
}

std::string Everything(std::string_view bytes, std::size_t cut) {
  const std::u16string wide =
      zentrova::fuzz::Utf16(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  std::string encoded;
  std::u16string encodedWide;
  zentrova::base64::EncodeAppend(bytes, encoded);
  zentrova::base64::EncodeAppend(bytes, encodedWide);
  return Record(bytes, std::min(cut, bytes.size())) + "#" +
         Record(std::u16string_view(wide), std::min(cut, wide.size())) + "#" + encoded + "#" +
         std::string(encodedWide.begin(), encodedWide.end());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t cut = data[0] * 7;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  static const std::vector<simd::Path> paths = simd::PathsOfThisProcessor();
  simd::UsePath(simd::Path::kScalar);
  const std::string plain = Everything(bytes, cut);
  for (std::size_t p = 1; p < paths.size(); ++p) {
    simd::UsePath(paths[p]);
    if (Everything(bytes, cut) != plain) std::abort();
  }
  return 0;
}
