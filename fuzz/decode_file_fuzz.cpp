// DecodeFile on arbitrary file contents with an arbitrary block size (the first four bytes).
// A run that fails leaves an error in the error state (one that completes may too: a block
// that does not decode is reported and skipped). When one block takes the whole file cleanly,
// every positive block size gives a clean run with exactly the same bytes, since groups cut
// by a block's end are carried into the next.
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "codec/base64.h"
#include "codec/utf8.h"

namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zentrova;
  if (size < 4) return 0;
  std::int32_t blockSize = 0;
  std::memcpy(&blockSize, data, 4);
  static const std::string base = "/tmp/zentrova-fuzz-" + std::to_string(getpid());
  const std::string inPath = base + ".in";
  const std::string wholePath = base + ".whole";
  const std::string blockedPath = base + ".blocked";
  {
    std::ofstream in(inPath, std::ios::binary | std::ios::trunc);
    in.write(reinterpret_cast<const char*>(data + 4), static_cast<std::streamsize>(size - 4));
  }
  std::u16string in16 = FromUtf8(inPath);
  std::u16string whole16 = FromUtf8(wholePath);
  std::u16string blocked16 = FromUtf8(blockedPath);

  Base64 whole;
  whole.BlockSize(1 << 20);
  const bool wholeDone = whole.DecodeFile(in16, whole16) == kTrue16;
  if (!wholeDone && whole.LastErrorCode() == 0) std::abort();
  const bool wholeClean = wholeDone && whole.LastErrorCode() == 0;

  Base64 blocked;
  try {
    blocked.BlockSize(blockSize);
  } catch (const CodecError& error) {
    if (error.code() != 6) std::abort();
    return 0;
  }
  const bool blockedDone = blocked.DecodeFile(in16, blocked16) == kTrue16;
  if (!blockedDone && blocked.LastErrorCode() == 0) std::abort();
  if (wholeClean && blockSize > 0) {
    if (!blockedDone || blocked.LastErrorCode() != 0) std::abort();
    if (Slurp(wholePath) != Slurp(blockedPath)) std::abort();
  }
  return 0;
}
