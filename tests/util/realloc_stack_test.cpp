// A reserve gives room for exactly the values asked for, whatever the block
// is (allocated, mapped, grown from one into the other): a window that
// reserves its length once holds no more memory than it needs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "fendro/util/realloc_stack.hpp"

namespace fendro {
namespace {

using Stack = ReallocStack<std::uint64_t>;
constexpr std::size_t kMapped = Stack::kMappedBytes / sizeof(std::uint64_t);

void fill(Stack& s, std::size_t n) {
  for (std::uint64_t i = s.size(); i < n; ++i) s.push_back(i);
}

bool holds_its_values(const Stack& s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != i) return false;
  }
  return true;
}

TEST(ReallocStack, AReserveGivesRoomForExactlyTheValuesAskedFor) {
  struct Case {
    const char* what;
    std::size_t held;  // pushed one by one first (grown by doubling)
    std::size_t reserved;
  };
  const Case cases[] = {
      {"one value", 0, 1},
      {"fewer than the first growth", 0, 5},
      {"just past the first growth", 0, 33},
      {"an allocated block", 0, 1000},
      {"the largest allocated block", 0, kMapped - 1},
      {"the smallest mapped block", 0, kMapped},
      {"a mapped block of part of a page", 0, 3 * kMapped + 5},
      {"an allocated block grown", 40, 100},
      {"an allocated block grown into a mapped one", 1000, 2 * kMapped + 1},
      {"a mapped block remapped", kMapped + 1, 5 * kMapped + 3},
  };
  for (const Case& c : cases) {
    Stack s;
    fill(s, c.held);
    ASSERT_LT(s.capacity(), c.reserved) << c.what;
    s.reserve(c.reserved);
    EXPECT_EQ(s.capacity(), c.reserved) << c.what;
    EXPECT_TRUE(holds_its_values(s)) << c.what;
    // The room is there: filling it moves nothing.
    const std::uint64_t* data = s.data();
    fill(s, c.reserved);
    EXPECT_EQ(s.capacity(), c.reserved) << c.what;
    EXPECT_EQ(s.data(), data) << c.what;
    EXPECT_TRUE(holds_its_values(s)) << c.what;
  }
}

TEST(ReallocStack, AReserveOfNoMoreThanTheRoomChangesNothing) {
  Stack empty;
  empty.reserve(0);
  EXPECT_EQ(empty.capacity(), 0u);
  for (const std::size_t room : {std::size_t{100}, 2 * kMapped}) {
    Stack s;
    s.reserve(room);
    fill(s, room / 2);
    const std::uint64_t* data = s.data();
    for (const std::size_t n : {std::size_t{0}, room / 2, room - 1, room}) {
      s.reserve(n);
      EXPECT_EQ(s.capacity(), room) << room << " " << n;
      EXPECT_EQ(s.data(), data) << room << " " << n;
    }
    EXPECT_TRUE(holds_its_values(s));
  }
}

}  // namespace
}  // namespace fendro
