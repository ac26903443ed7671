// Encode and Decode of texts on one codec object, ASCII and Chinese, 1 KiB to 1 MiB: the
// throughput must stay flat as the text grows.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "codec/base64.h"
#include "codec/base64_simd.h"
#include "codec/base64_transform.h"
#include "codec/code_page.h"

namespace {

std::u16string MakeText(std::size_t bytes, bool chinese) {
  std::mt19937 random(42);
  std::u16string text;
  if (chinese) {
    std::uniform_int_distribution<int> hanzi(0x4E00, 0x9FA5);
    for (std::size_t i = 0; i < bytes / 2; ++i) text += static_cast<char16_t>(hanzi(random));
  } else {
    std::uniform_int_distribution<int> ascii(0x21, 0x7E);
    for (std::size_t i = 0; i < bytes; ++i) text += static_cast<char16_t>(ascii(random));
  }
  return text;
}

// Takes the path that the benchmark's argument at `argument` names and labels the figures with it;
// false, and the benchmark skipped, when this processor lacks it.
bool TakePath(benchmark::State& state, int argument) {
  const auto path = static_cast<zentrova::base64::simd::Path>(state.range(argument));
  if (!zentrova::base64::simd::UsePath(path)) {
    state.SkipWithError("this processor lacks the path");
    return false;
  }
  state.SetLabel(zentrova::base64::simd::NameOf(path));
  return true;
}

void BM_Encode(benchmark::State& state) {
  if (!TakePath(state, 2)) return;
  zentrova::codepage::SetNarrowCodePage(936);
  const auto text = MakeText(static_cast<std::size_t>(state.range(0)), state.range(1) != 0);
  zentrova::Base64 codec;
  for (auto _ : state) benchmark::DoNotOptimize(codec.Encode(text));
  state.SetBytesProcessed(state.iterations() * state.range(0));
  state.SetLabel(std::string(state.range(1) ? "chinese " : "ascii ") +
                 zentrova::base64::simd::NameOf(zentrova::base64::simd::ActivePath()));
}

void BM_Decode(benchmark::State& state) {
  if (!TakePath(state, 2)) return;
  zentrova::codepage::SetNarrowCodePage(936);
  const auto text = MakeText(static_cast<std::size_t>(state.range(0)), state.range(1) != 0);
  zentrova::Base64 codec;
  const auto encoded = codec.Encode(text);
  for (auto _ : state) benchmark::DoNotOptimize(codec.Decode(encoded));
  state.SetBytesProcessed(state.iterations() * state.range(0));
  state.SetLabel(std::string(state.range(1) ? "chinese " : "ascii ") +
                 zentrova::base64::simd::NameOf(zentrova::base64::simd::ActivePath()));
}

// The transform alone, on each path this processor has: 1 MiB of random bytes to text and back
// between buffers that are already there, in bytes of the byte side a second.
std::string RandomBytes(std::size_t size) {
  std::mt19937 random(42);
  std::string bytes(size, '\0');
  for (char& b : bytes) b = static_cast<char>(random());
  return bytes;
}

void BM_EncodeTransform(benchmark::State& state) {
  if (!TakePath(state, 0)) return;
  const std::string bytes = RandomBytes(1 << 20);
  std::string text(zentrova::base64::EncodedLength(bytes.size()), '\0');
  for (auto _ : state) {
    benchmark::DoNotOptimize(zentrova::base64::EncodeTo(bytes, text.data()));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}

void BM_DecodeTransform(benchmark::State& state) {
  if (!TakePath(state, 0)) return;
  const std::string bytes = RandomBytes(1 << 20);
  std::string text;
  zentrova::base64::EncodeAppend(bytes, text);
  std::string out(zentrova::base64::Decoder::MostBytesFor(text.size()) + 2, '\0');
  for (auto _ : state) {
    zentrova::base64::Decoder decoder;
    std::size_t written = 0, end = 0;
    decoder.FeedTo(text, out.data(), written);
    decoder.FinishTo(out.data() + written, end);
    benchmark::DoNotOptimize(written + end);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}

BENCHMARK(BM_EncodeTransform)->DenseRange(0, 1);
BENCHMARK(BM_DecodeTransform)->DenseRange(0, 1);

// Arguments: byte-form size, then 0 for ASCII or 1 for Chinese, then the path.
BENCHMARK(BM_Encode)->ArgsProduct({{1 << 10, 1 << 20}, {0, 1}, {0, 1}});
BENCHMARK(BM_Decode)->ArgsProduct({{1 << 10, 1 << 20}, {0, 1}, {0, 1}});

}  // namespace
