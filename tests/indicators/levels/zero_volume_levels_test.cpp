// Volume-weighted support and resistance of a window without volume are the
// plain means of its lows and highs, also before the volume's sum is next
// rebuilt and sheds the residue of the bars that traded.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <vector>

#include "indicators/testing.hpp"

namespace fendro::testing {
namespace {

TEST(ZeroVolumeLevels, AWindowWithoutVolumeReadsThePlainMeans) {
  constexpr std::size_t kPeriod = 20;
  for (const std::size_t history : {23u, 30u, 37u}) {
    std::vector<Candle> bars;
    for (std::size_t i = 0; i < history; ++i) {
      const double p = 30000.17 * (1.0 + 0.013 * static_cast<double>(i % 7));
      bars.push_back(Candle{0, p, p * 1.01, p * 0.99, p, 0.3 + 1.7 * static_cast<double>(i % 5)});
    }
    // Quiet bars: the candle moves, nothing trades.
    for (std::size_t i = 0; i < 45; ++i) {
      const double p = 7.77 * (1.0 + 0.011 * static_cast<double>(i % 3));
      bars.push_back(Candle{0, p, p + 0.05, p - 0.05, p, 0.0});
    }
    IndicatorPtr ind = make("VolumeWeightedSr", {static_cast<double>(kPeriod)});
    ASSERT_TRUE(ind);
    for (std::size_t i = 0; i < bars.size(); ++i) {
      const auto got = step(*ind, bars[i]);
      if (i < history + kPeriod - 1) continue;
      double lows = 0.0;
      double highs = 0.0;
      for (std::size_t k = i + 1 - kPeriod; k <= i; ++k) {
        lows += bars[k].low;
        highs += bars[k].high;
      }
      ASSERT_TRUE(got.has_value()) << i;
      const std::vector<NamedOutput> outs(ind->outputs().begin(), ind->outputs().end());
      ASSERT_EQ(outs.size(), 2u);
      // The plain means, up to the rounding of sums that ran through the history.
      EXPECT_NEAR(outs[0].value, lows / kPeriod, 1e-9) << "support after " << history << ", bar " << i;
      EXPECT_NEAR(outs[1].value, highs / kPeriod, 1e-9) << "resistance after " << history << ", bar " << i;
    }
  }
}

}  // namespace
}  // namespace fendro::testing
