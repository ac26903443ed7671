#include "codec/base64_simd.h"

#include <atomic>

namespace zentrova::base64::simd {
namespace {

std::size_t EncodeNoLines(const unsigned char*, std::size_t, char*) { return 0; }
DecodeStep DecodeNoChars(const char*, std::size_t, char*) { return {0, 0}; }
DecodeStep DecodeNoUnits(const char16_t*, std::size_t, char*) { return {0, 0}; }

constexpr Kernels kScalar{EncodeNoLines, DecodeNoChars, DecodeNoUnits};
constexpr Kernels kAvx2{avx2::EncodeLines, avx2::DecodeChars, avx2::DecodeUnits};

bool ProcessorRuns(Path path) {
  switch (path) {
    case Path::kScalar:
      return true;
    case Path::kAvx2:
#if defined(__GNUC__) && defined(__x86_64__)
      __builtin_cpu_init();
      return avx2::Built() && __builtin_cpu_supports("avx2");
#else
      return false;
#endif
  }
  return false;
}

Path Best() { return ProcessorRuns(Path::kAvx2) ? Path::kAvx2 : Path::kScalar; }

// What the processor can do does not change while the program runs; only tests and
// benchmarks choose another path.
std::atomic<Path>& Chosen() {
  static std::atomic<Path> chosen{Best()};
  return chosen;
}

}  // namespace

const Kernels& ActiveKernels() { return ActivePath() == Path::kAvx2 ? kAvx2 : kScalar; }

Path ActivePath() { return Chosen().load(std::memory_order_relaxed); }

std::vector<Path> PathsOfThisProcessor() {
  std::vector<Path> paths{Path::kScalar};
  if (ProcessorRuns(Path::kAvx2)) paths.push_back(Path::kAvx2);
  return paths;
}

bool UsePath(Path path) {
  if (!ProcessorRuns(path)) return false;
  Chosen().store(path, std::memory_order_relaxed);
  return true;
}

const char* NameOf(Path path) { return path == Path::kAvx2 ? "avx2" : "scalar"; }

}  // namespace zentrova::base64::simd
