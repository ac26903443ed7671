// The Base64 transform's inner loops on the processor's vector units, chosen once at run time:
// AVX2 where the processor has it, and otherwise none, so that the plain loops of
// base64_transform.cpp do all the work. The vector loops take only what is plain sailing
// (whole lines to encode, whole groups of alphabet characters to decode) and leave everything
// else, every fault included, to the plain loops, which therefore decide every result.
#pragma once

#include <cstddef>
#include <vector>

namespace zentrova::base64::simd {

enum class Path { kScalar, kAvx2 };

struct DecodeStep {
  std::size_t taken;    // characters consumed
  std::size_t written;  // bytes written
};

struct Kernels {
  // Encodes up to `lines` whole lines, each 54 bytes of `in` becoming 72 characters and a line
  // feed at `out`; returns how many it encoded (0 on the plain path). May read 4 bytes past the
  // last line.
  std::size_t (*encodeLines)(const unsigned char* in, std::size_t lines, char* out);
  // From the start of `text`, decodes runs of alphabet characters in whole groups of four and
  // skips the blanks (CR, LF, space, tab) between runs, writing the bytes to `out`. Stops before
  // the first other character, at a group that a blank breaks, or where too little is left for
  // a vector; what it stopped at is the plain loop's. Takes nothing on the plain path.
  DecodeStep (*decodeChars)(const char* text, std::size_t size, char* out);
  DecodeStep (*decodeUnits)(const char16_t* text, std::size_t size, char* out);
};

// The kernels of the path in use.
const Kernels& ActiveKernels();

// The path in use: the best this processor has, unless UsePath chose another.
Path ActivePath();

// The paths this processor can run, the plain one first.
std::vector<Path> PathsOfThisProcessor();

// Makes `path` the one in use, for tests and benchmarks that compare the paths. Returns false
// and changes nothing when this processor cannot run it.
bool UsePath(Path path);

// "scalar", "avx2".
const char* NameOf(Path path);

namespace avx2 {
// Whether this build has AVX2 kernels at all (an x86-64 build with GCC or Clang).
bool Built();
std::size_t EncodeLines(const unsigned char* in, std::size_t lines, char* out);
DecodeStep DecodeChars(const char* text, std::size_t size, char* out);
DecodeStep DecodeUnits(const char16_t* text, std::size_t size, char* out);
}  // namespace avx2

}  // namespace zentrova::base64::simd
