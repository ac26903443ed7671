// The memory one line just under the lists' limit costs batch decode, in each form: the line
// gathered, read, opened and handed off, as the command line does it: what the form never writes
// let go of, and the entry written out in pieces. The peak of the heap in use
// while it is converted is reported relative to the line's length ("peak_per_byte").
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "codec/code_page.h"
#include "lists/hand_off.h"
#include "lists/list_run.h"

namespace {

std::atomic<std::size_t> gInUse{0};
std::atomic<std::size_t> gPeak{0};

void* Counted(std::size_t size) {
  void* block = std::malloc(size == 0 ? 1 : size);
  if (!block) throw std::bad_alloc();
  const std::size_t now = gInUse += malloc_usable_size(block);
  std::size_t peak = gPeak.load();
  while (now > peak && !gPeak.compare_exchange_weak(peak, now)) {
  }
  return block;
}

void Uncounted(void* block) {
  if (!block) return;
  gInUse -= malloc_usable_size(block);
  std::free(block);
}

}  // namespace

void* operator new(std::size_t size) { return Counted(size); }
void* operator new[](std::size_t size) { return Counted(size); }
void operator delete(void* block) noexcept { Uncounted(block); }
void operator delete[](void* block) noexcept { Uncounted(block); }
void operator delete(void* block, std::size_t) noexcept { Uncounted(block); }
void operator delete[](void* block, std::size_t) noexcept { Uncounted(block); }

namespace {

using namespace zentrova::lists;

constexpr std::size_t kLength = kLongestLine - 1024;

std::string Base64Of(const std::string& bytes) {
  static constexpr char kLetters[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  text.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t at = 0;
  for (; at + 3 <= bytes.size(); at += 3) {
    const unsigned group = static_cast<unsigned char>(bytes[at]) << 16 |
                           static_cast<unsigned char>(bytes[at + 1]) << 8 |
                           static_cast<unsigned char>(bytes[at + 2]);
    for (int shift = 18; shift >= 0; shift -= 6) text += kLetters[(group >> shift) & 63];
  }
  return text;  // the address below is sized to whole groups
}

// A Thunder link whose Base64 text fills the line, and a plain address as long.
std::string LongLine(bool thunder) {
  if (!thunder) return "http://h/" + std::string(kLength - 9, 'a');
  const std::size_t payload = (kLength - 10) / 4 * 3;
  const std::string address = "http://h/" + std::string(payload - 13, 'a');
  return "thunder://" + Base64Of("AA" + address + "ZZ");
}

void LongLinePeak(benchmark::State& state) {
  zentrova::codepage::SetNarrowCodePage(936);
  const bool thunder = state.range(0) == 1;
  const auto form = static_cast<HandOffForm>(state.range(1));
  const std::string line = LongLine(thunder);
  std::size_t peak = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::string gathered = line;  // as the splitter gathers it from many reads
    ListRun run(ListMode::kDecode, Charset::kAuto);
    HandOff handOff(form, ListMode::kDecode);
    std::size_t written = 0;
    // As the command line writes a file: each piece leaves as it is made.
    handOff.SpillTo([&](std::string& out) {
      written += out.size();
      out.clear();
    });
    std::string out;
    gPeak = gInUse.load();
    const std::size_t before = gInUse.load() - gathered.capacity();
    state.ResumeTiming();
    LineResult result = run.BytesInPlace(std::move(gathered));
    LetGoOfUnwritten(form, result);
    handOff.Append(1, result, out);
    benchmark::DoNotOptimize(out.data());
    peak = gPeak.load() - before;
    if (written + out.size() < line.size() / 2) state.SkipWithError("the line was not converted");
  }
  state.counters["peak_per_byte"] = static_cast<double>(peak) / static_cast<double>(line.size());
  state.counters["peak_MiB"] = static_cast<double>(peak) / (1 << 20);
}
// {thunder, form}: forms 0 lines, 1 aria2, 3 JSON, as HandOffForm numbers them.
BENCHMARK(LongLinePeak)
    ->ArgNames({"thunder", "form"})
    ->ArgsProduct({{1, 0}, {0, 1, 3}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
