#include "lists/repeat_memory.h"

#include <algorithm>
#include <cstring>

namespace zentrova::lists {
namespace {

constexpr std::uint64_t Rotated(std::uint64_t x, int by) { return (x << by) | (x >> (64 - by)); }

// MurmurHash3's finalizer: every bit of the input reaches every bit of the output.
constexpr std::uint64_t Mixed(std::uint64_t x) {
  x ^= x >> 33;
  x *= 0xff51afd7ed558ccdULL;
  x ^= x >> 33;
  x *= 0xc4ceb9fe1a85ec53ULL;
  return x ^ (x >> 33);
}

// Two independent 64-bit hashes of `bytes`, eight bytes at a time; a download is taken for
// another only when both agree.
std::pair<std::uint64_t, std::uint64_t> Hashes(std::string_view bytes) {
  std::uint64_t first = 0x9e3779b97f4a7c15ULL ^ bytes.size();
  std::uint64_t second = 0xc2b2ae3d27d4eb4fULL + bytes.size();
  std::size_t at = 0;
  const auto take = [&](std::uint64_t word) {
    first = Rotated((first ^ word) * 0x87c37b91114253d5ULL, 31) * 5 + 0x52dce729;
    second = Rotated((second ^ word) * 0x4cf5ad432745937fULL, 33) * 5 + 0x38495ab5;
  };
  for (; at + 8 <= bytes.size(); at += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes.data() + at, 8);
    take(word);
  }
  std::uint64_t last = 0;
  std::memcpy(&last, bytes.data() + at, bytes.size() - at);
  take(last);
  return {Mixed(first), Mixed(second) | 1};  // never {_, 0}: that marks an empty slot
}

}  // namespace

bool RepeatMemory::Remembered(const Table& table, const Key& key) {
  if (table.slots.empty()) return false;
  for (std::size_t at = key.first & (table.slots.size() - 1); table.slots[at].second != 0;
       at = (at + 1) & (table.slots.size() - 1)) {
    if (table.slots[at] == key) return true;
  }
  return false;
}

void RepeatMemory::Remember(Table& table, const Key& key) {
  std::size_t at = key.first & (table.slots.size() - 1);
  while (table.slots[at].second != 0) at = (at + 1) & (table.slots.size() - 1);
  table.slots[at] = key;
  ++table.count;
}

bool RepeatMemory::FirstTime(std::string_view uri) {
  const Key key = Hashes(uri);
  if (Remembered(recent_, key) || Remembered(older_, key)) return false;
  if (recent_.count == kGeneration) {
    // The older downloads are forgotten, so that memory stays the same however long the list:
    // a repeat is found as long as fewer than kGeneration other downloads came between.
    older_ = std::move(recent_);
    recent_ = {};
  }
  if ((recent_.count + 1) * 2 > recent_.slots.size()) {
    Table grown;
    grown.slots.resize(std::max<std::size_t>(1024, recent_.slots.size() * 2));
    for (const Key& kept : recent_.slots) {
      if (kept.second != 0) Remember(grown, kept);
    }
    recent_ = std::move(grown);
  }
  Remember(recent_, key);
  return true;
}

}  // namespace zentrova::lists
