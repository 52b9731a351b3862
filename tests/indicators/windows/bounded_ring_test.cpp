#include <gtest/gtest.h>

#include <optional>
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

TEST(BoundedRing, StorageNeverExceedsCapacity) {
  BoundedRing<int> r(10);
  for (int x = 0; x < 100; ++x) r.push(x);
  EXPECT_EQ(r.slots().size(), 10u);
  // A huge capacity costs nothing until values arrive.
  BoundedRing<int> big(~std::uint64_t{0});
  big.push(1);
  EXPECT_EQ(big.len(), 1u);
}

}  // namespace
}  // namespace fendro
