#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "fendro/indicators/windows/bounded_ring.hpp"

namespace fendro {
namespace {

std::vector<int> contents(const BoundedRing<int>& r) {
  std::vector<int> out;
  r.for_each([&out](int x) { out.push_back(x); });
  return out;
}

TEST(BoundedRing, IndexAndEndsMatchArrivalOrderAtEveryStep) {
  for (std::uint64_t cap : {1u, 2u, 5u, 9u}) {
    BoundedRing<int> r(cap);
    std::vector<int> all;
    for (int x = 0; x < 40; ++x) {
      const std::optional<int> evicted = r.push(x);
      EXPECT_EQ(evicted, all.size() >= cap ? std::optional<int>(all[all.size() - cap]) : std::nullopt);
      all.push_back(x);
      const std::size_t len = std::min<std::size_t>(all.size(), cap);
      ASSERT_EQ(r.len(), len);
      std::vector<int> want(all.end() - static_cast<std::ptrdiff_t>(len), all.end());
      ASSERT_EQ(contents(r), want) << "cap " << cap << " x " << x;
      EXPECT_EQ(r.front(), want.front());
      EXPECT_EQ(r.back(), want.back());
      for (std::size_t i = 0; i < len; ++i) EXPECT_EQ(r[i], want[i]);
    }
  }
}

// Through every turn of a full ring, the slot before the one replace_oldest
// wrote holds the entry that was newest before it (in a ring of one, the
// entry just written).
TEST(BoundedRing, BeforeSlotIsTheNewestBeforeTheReplacement) {
  for (std::uint64_t cap : {1u, 2u, 3u, 7u}) {
    BoundedRing<int> r(cap);
    for (int x = 0; x < static_cast<int>(cap); ++x) r.push(x);
    for (int x = static_cast<int>(cap); x < 30; ++x) {
      const int newest = r.back();
      const std::size_t slot = r.head();
      r.replace_oldest(x);
      EXPECT_EQ(r.before_slot(slot), cap == 1 ? x : newest) << "cap " << cap << " x " << x;
    }
  }
}

TEST(BoundedRing, StorageNeverExceedsCapacity) {
  BoundedRing<int> r(10);
  for (int x = 0; x < 100; ++x) r.push(x);
  EXPECT_EQ(r.slots().size(), 10u);
  EXPECT_EQ(r.storage_capacity(), 10u);
  // A huge capacity costs nothing until values arrive.
  BoundedRing<int> big(~std::uint64_t{0});
  EXPECT_EQ(big.storage_capacity(), 0u);
  big.push(1);
  EXPECT_EQ(big.len(), 1u);
  EXPECT_LE(big.storage_capacity(), 8u);
  // The storage held, pushed one at a time past the capacity, of plain
  // values (a remapped block) and of others (a vector): room for at most
  // twice the entries held, never beyond the capacity, and the capacity
  // exactly once full.
  const auto check = []<class T>(BoundedRing<T> ring, std::uint64_t cap) {
    for (std::uint64_t x = 0; x < cap + 3; ++x) {
      ring.push(T{});
      ASSERT_LE(ring.storage_capacity(), cap) << "cap " << cap << " after " << x + 1;
      ASSERT_LE(ring.storage_capacity(), std::max<std::size_t>(8, 2 * ring.len())) << "cap " << cap;
    }
    EXPECT_EQ(ring.storage_capacity(), cap);
  };
  for (const std::uint64_t cap : {1u, 7u, 8u, 9u, 17u, 1000u, 5000u}) {
    check(BoundedRing<double>(cap), cap);
    check(BoundedRing<std::vector<int>>(cap), cap);
  }
}

// A ring long enough to grow into mapped blocks and remap them several
// times holds every entry in arrival order, across the wrap and in its
// copies; a moved-from ring is empty and still usable.
TEST(BoundedRing, ALongRingKeepsItsEntriesAsItGrowsAndIsCopied) {
  struct Entry {
    double a, b;
    bool operator!=(const Entry& o) const { return a != o.a || b != o.b; }
  };
  const std::size_t cap = 16 * ReallocStack<Entry>::kMappedBytes / sizeof(Entry) + 5;
  const auto holds = [](const BoundedRing<Entry>& r, std::size_t last) {
    for (std::size_t i = 0; i < r.len(); ++i) {
      const double x = static_cast<double>(last + 1 - r.len() + i);
      if (r[i] != Entry{x, -x}) return false;
    }
    return true;
  };
  BoundedRing<Entry> r(cap);
  std::size_t x = 0;
  for (; x < cap + 7; ++x) r.push(Entry{static_cast<double>(x), -static_cast<double>(x)});
  ASSERT_EQ(r.len(), cap);
  EXPECT_EQ(r.head(), 7u);
  EXPECT_TRUE(holds(r, x - 1));
  BoundedRing<Entry> copy = r;
  EXPECT_TRUE(holds(copy, x - 1));
  copy.push(Entry{static_cast<double>(x), -static_cast<double>(x)});
  EXPECT_TRUE(holds(copy, x));
  EXPECT_TRUE(holds(r, x - 1));  // the original is its own
  BoundedRing<Entry> moved = std::move(r);
  EXPECT_TRUE(holds(moved, x - 1));
  EXPECT_EQ(r.len(), 0u);  // NOLINT(bugprone-use-after-move): a moved-from ring is empty
  r.clear();
  r.push(Entry{1, -1});
  EXPECT_EQ(r.len(), 1u);
  copy = moved;
  EXPECT_TRUE(holds(copy, x - 1));
}

}  // namespace
}  // namespace fendro
