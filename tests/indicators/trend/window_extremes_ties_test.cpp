// Window extremes against plain scans, on series where nearly every bar ties
// and both zeros occur: the reported positions and values must not depend on
// which of equal extremes a window keeps, to the bit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "indicators/testing.hpp"

namespace fendro {
namespace {

using testing::bits;
using testing::SplitMix;
using testing::tied_value;

// Newest position (0 = oldest of the n + 1) of the extreme, walking from the
// oldest with a non-strict comparison.
template <class AtLeast>
double aroon_line(const std::vector<double>& xs, std::size_t end, std::uint64_t n,
                  AtLeast at_least) {
  const std::size_t begin = end - (n + 1);
  std::size_t best = begin;
  for (std::size_t i = begin + 1; i < end; ++i) {
    if (at_least(xs[i], xs[best])) best = i;
  }
  return (static_cast<double>(best - begin) * 100.0) / static_cast<double>(n);
}

TEST(WindowExtremeTies, AroonAndVhfMatchThePlainScan) {
  for (std::uint64_t n : {1, 2, 3, 5, 8, 13, 25}) {
    SplitMix rng(n);
    std::vector<Candle> candles;
    std::vector<double> highs, lows;  // the closes are the lows
    for (int i = 0; i < 600; ++i) {
      highs.push_back(tied_value(rng));
      lows.push_back(std::min(highs.back(), tied_value(rng)));
      candles.push_back(testing::hlc(highs.back(), lows.back(), lows.back()));
    }
    const testing::Values aroon = testing::key_values("Aroon", {double(n)}, candles);
    const testing::Values osc = testing::key_values("AroonOscillator", {double(n)}, candles);
    const testing::Values vhf =
        testing::key_values("VerticalHorizontalFilter", {double(n)}, candles);
    ASSERT_EQ(aroon.size(), candles.size());
    for (std::size_t end = 1; end <= candles.size(); ++end) {
      const std::string where = "n " + std::to_string(n) + " bar " + std::to_string(end - 1);
      const std::optional<double> a = aroon[end - 1], o = osc[end - 1], v = vhf[end - 1];
      if (end <= n) {
        EXPECT_FALSE(a || o || v) << where;
        continue;
      }
      const double up = aroon_line(highs, end, n, [](double x, double y) { return x >= y; });
      const double down = aroon_line(lows, end, n, [](double x, double y) { return x <= y; });
      ASSERT_TRUE(a && o && v) << where;
      EXPECT_EQ(bits(*a), bits(up)) << where;
      EXPECT_EQ(bits(*o), bits(up - down)) << where;
      // Over the last n closes and the n changes that lead to them.
      double sum = 0.0;
      for (std::size_t i = end - n; i < end; ++i) sum += std::abs(lows[i] - lows[i - 1]);
      const auto last = lows.begin() + static_cast<std::ptrdiff_t>(end), first = last - n;
      const double range = *std::max_element(first, last) - *std::min_element(first, last);
      EXPECT_EQ(bits(*v), bits(sum == 0.0 ? 0.0 : range / sum)) << where;
    }
  }
}

}  // namespace
}  // namespace fendro
