// The memory of downloads already handed off, so that the same download twice in a list is
// written once, in a memory that stays the same however long the list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace zentrova::lists {

// Remembers downloads by their URI. A repeat is found when fewer than kGeneration other
// downloads stand between the two.
class RepeatMemory {
 public:
  // Downloads remembered in two generations of this many each: at most 4 MB, which the
  // processor keeps close at hand.
  static constexpr std::size_t kGeneration = std::size_t{1} << 16;

  // Whether the download `uri` is new; remembers it.
  bool FirstTime(std::string_view uri);

 private:
  // Downloads remembered, each as two independent 64-bit hashes (16 bytes, whatever the length
  // of its address) in an open-addressed table at most half full.
  using Key = std::pair<std::uint64_t, std::uint64_t>;
  struct Table {
    std::vector<Key> slots;  // {0, 0}: empty
    std::size_t count = 0;
  };

  static bool Remembered(const Table& table, const Key& key);
  static void Remember(Table& table, const Key& key);

  Table recent_;
  Table older_;
};

}  // namespace zentrova::lists
