// A long copy or comparison asks once per stretch, gives the whole answer
// when never stopped, and ends at the ask that says stop.
#include "fendro/util/paced_copy.hpp"

#include <gtest/gtest.h>

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "module/counting_interrupt.hpp"

namespace fendro {
namespace {

using fendro::testing::CountingInterrupt;

std::string text_of(std::size_t n) {
  std::string s(n, 'a');
  for (std::size_t k = 0; k < n; k += 4099) s[k] = static_cast<char>('b' + k % 20);
  return s;
}

TEST(CopyPaced, WholeCopyAndOneAskPerStretch) {
  constexpr std::size_t kStretch = kCopyStretchBytes;
  struct Case {
    std::size_t bytes;
    std::size_t asks;
  };
  for (const Case c : {Case{0, 0}, {1, 0}, {kStretch, 0}, {kStretch + 1, 1}, {2 * kStretch, 2}, {5 * kStretch + 3, 5}}) {
    const std::string from = text_of(c.bytes);
    CountingInterrupt never;
    std::string to = "old";
    EXPECT_TRUE(copy_paced(from, to, never.interrupt())) << c.bytes;
    EXPECT_EQ(to, from) << c.bytes;
    EXPECT_EQ(never.asked, c.asks) << c.bytes;
    for (std::size_t k = 1; k <= c.asks; ++k) {
      CountingInterrupt stop{.stop_at = k};
      EXPECT_FALSE(copy_paced(from, to, stop.interrupt())) << c.bytes << " at " << k;
      EXPECT_EQ(stop.asked, k);
    }
  }
}

TEST(EqualPaced, SameBytesAndOneAskPerStretchCompared) {
  constexpr std::size_t kStretch = kCopyStretchBytes;
  const std::string a = text_of(5 * kStretch + 3);
  struct Case {
    std::size_t differ_at;  // a.size(): the same bytes
    std::size_t asks;       // the stretches compared before the answer
  };
  for (const Case c : {Case{5 * kStretch + 3, 5}, {0, 0}, {kStretch - 1, 0}, {kStretch, 1}, {5 * kStretch + 2, 5}}) {
    std::string b = a;
    if (c.differ_at < b.size()) b[c.differ_at] ^= 1;
    EXPECT_FALSE(*equal_paced(a, b + "x", Interrupt{}));  // lengths that differ
    const bool same = c.differ_at == a.size();
    CountingInterrupt never;
    const auto equal = equal_paced(a, b, never.interrupt());
    ASSERT_TRUE(equal.ok()) << c.differ_at;
    EXPECT_EQ(*equal, same) << c.differ_at;
    EXPECT_EQ(never.asked, c.asks) << c.differ_at;
    for (std::size_t k = 1; k <= c.asks; ++k) {
      CountingInterrupt stop{.stop_at = k};
      EXPECT_FALSE(equal_paced(a, b, stop.interrupt()).ok()) << c.differ_at << " at " << k;
      EXPECT_EQ(stop.asked, k);
    }
  }
}

TEST(FindPaced, FindsTheKeyOfTheSameBytesAndStopsAtEveryAsk) {
  constexpr std::size_t kStretch = kCopyStretchBytes;
  // Keys of the sought one's length beside it, differing early and late, and
  // shorter and longer ones.
  const std::string sought = text_of(3 * kStretch + 5);
  std::map<std::string, int, std::less<>> map;
  map[sought] = 1;
  std::string late = sought;
  late.back() ^= 1;
  map[late] = 2;
  map['B' + sought.substr(1)] = 3;
  map["short"] = 4;
  map[sought + "x"] = 5;
  struct Case {
    std::string key;
    int value;  // 0: none
  };
  std::string missing = sought;
  missing[kStretch + 1] ^= 1;
  const std::vector<Case> cases = {{sought, 1}, {late, 2}, {missing, 0}, {"short", 4}, {"absent", 0}};
  for (const Case& c : cases) {
    CountingInterrupt never;
    const auto found = find_paced(map, c.key, never.interrupt());
    ASSERT_TRUE(found.ok()) << c.value;
    EXPECT_EQ(*found == map.end() ? 0 : (*found)->second, c.value) << c.key.size();
    EXPECT_EQ(*find_paced(map, c.key, Interrupt{}), map.find(c.key));
    // A long key is compared in stretches, each ending with an ask.
    if (c.value != 0 && c.key.size() > kStretch) {
      EXPECT_GE(never.asked, c.key.size() / kStretch);
    }
    for (std::size_t k = 1; k <= never.asked; ++k) {
      CountingInterrupt stop{.stop_at = k};
      EXPECT_FALSE(find_paced(map, c.key, stop.interrupt()).ok()) << c.value << " at " << k;
      EXPECT_EQ(stop.asked, k);
    }
  }
}

TEST(FindPaced, AsksWhilePassingOverManyEntries) {
  std::map<std::string, int, std::less<>> map;
  for (int k = 0; k < 100000; ++k) map[std::to_string(k)] = k;
  const std::string key(kCopyStretchBytes + 1, 'k');
  CountingInterrupt never;
  EXPECT_EQ(*find_paced(map, key, never.interrupt()), map.end());
  EXPECT_GE(never.asked, 5u);
}

}  // namespace
}  // namespace fendro
