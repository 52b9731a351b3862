// A long copy asks once per stretch, copies whole when never stopped, and
// ends at the ask that says stop.
#include "fendro/util/paced_copy.hpp"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

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

}  // namespace
}  // namespace fendro
