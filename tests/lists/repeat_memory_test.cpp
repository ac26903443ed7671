// The memory of downloads handed off: a repeat is found while it is remembered, and the memory
// stays the same however long the list.
#include "lists/repeat_memory.h"

#include <gtest/gtest.h>

#include <string>

namespace zentrova::lists {
namespace {

std::string Uri(std::size_t n) { return "http://h/" + std::to_string(n) + ".zip"; }

TEST(RepeatMemoryTest, ARepeatIsFoundAndOnlyARepeat) {
  RepeatMemory memory;
  EXPECT_TRUE(memory.FirstTime("http://h/a.zip"));
  EXPECT_FALSE(memory.FirstTime("http://h/a.zip"));
  EXPECT_TRUE(memory.FirstTime("http://h/A.zip"));
  EXPECT_TRUE(memory.FirstTime("http://h/a.zip "));
  EXPECT_TRUE(memory.FirstTime(""));
  EXPECT_FALSE(memory.FirstTime(""));
  // Lengths around the eight bytes a hash takes at a time.
  for (std::size_t length = 1; length <= 17; ++length) {
    EXPECT_TRUE(memory.FirstTime(std::string(length, 'x'))) << length;
  }
  for (std::size_t length = 1; length <= 17; ++length) {
    EXPECT_FALSE(memory.FirstTime(std::string(length, 'x'))) << length;
  }
}

TEST(RepeatMemoryTest, RemembersAGenerationBetweenRepeatsThenForgets) {
  RepeatMemory memory;
  const std::size_t generation = RepeatMemory::kGeneration;
  for (std::size_t n = 0; n < generation; ++n) ASSERT_TRUE(memory.FirstTime(Uri(n)));
  // The first generation is still remembered whole while the second fills.
  for (std::size_t n = 0; n < generation; n += 997) EXPECT_FALSE(memory.FirstTime(Uri(n))) << n;
  for (std::size_t n = generation; n < 2 * generation; ++n) ASSERT_TRUE(memory.FirstTime(Uri(n)));
  EXPECT_FALSE(memory.FirstTime(Uri(0)));
  // A third generation begins: the first is forgotten, the second is not.
  EXPECT_TRUE(memory.FirstTime(Uri(2 * generation)));
  EXPECT_TRUE(memory.FirstTime(Uri(1)));
  EXPECT_FALSE(memory.FirstTime(Uri(generation + 1)));
}

}  // namespace
}  // namespace zentrova::lists
