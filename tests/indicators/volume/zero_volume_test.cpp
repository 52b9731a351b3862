// Bars without volume, which the long random walks never open with.
#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "indicators/testing.hpp"

namespace fendro::testing {
namespace {

Candle flat_with_volume(double price, double volume) { return Candle{0, price, price, price, price, volume}; }

// No volume yet means no value; the anchor is the first bar even so.
TEST(ZeroVolume, VwapBandsWaitForVolumeButKeepTheFirstAnchor) {
  auto ind = make("VwapStdDevBands", {2.0});
  EXPECT_FALSE(step(*ind, flat_with_volume(10, 0)));
  EXPECT_TRUE(ind->outputs().empty());
  ASSERT_EQ(step(*ind, flat_with_volume(12, 1)), 12.0);
  std::vector<double> outs;
  for (const NamedOutput& o : ind->outputs()) outs.push_back(o.value);
  EXPECT_EQ(outs, (std::vector<double>{12.0, 12.0, 12.0, 0.0}));  // upper, middle, lower, stddev
}

// Traded bars at uneven prices and volumes (sums that do not come out exact),
// `history` of them, then `quiet` bars without volume whose close moves or not.
std::vector<Candle> trading_then_no_volume(std::size_t history, std::size_t quiet, bool moving) {
  std::vector<Candle> out;
  for (std::size_t i = 0; i < history; ++i) {
    const double p = 7.77 * (1.0 + 0.013 * static_cast<double>(i % 7));
    out.push_back(Candle{0, p, p * 1.01, p * 0.99, p, 0.3 + 1.7 * static_cast<double>(i % 5)});
  }
  for (std::size_t i = 0; i < quiet; ++i) {
    const double p = moving ? 7.77 * (1.0 + 0.011 * static_cast<double>(i % 3)) : 7.77;
    out.push_back(Candle{0, p, p, p, p, 0.0});
  }
  return out;
}

// A window without volume has no price to weigh, also before the volume's
// sum is next rebuilt and sheds the residue of the bars that traded.
TEST(ZeroVolume, RollingVwapOfAWindowWithoutVolumeHasNoValue) {
  for (const bool moving : {false, true}) {
    for (const std::size_t history : {23u, 30u, 37u}) {
      const Values got = key_values("RollingVwap", {20}, trading_then_no_volume(history, 45, moving));
      ASSERT_TRUE(got[history + 18].has_value()) << history;  // one traded bar left in the window
      for (std::size_t i = history + 19; i < got.size(); ++i) {
        EXPECT_FALSE(got[i].has_value()) << "after " << history << " bars, bar " << i << (moving ? ", moving" : "");
      }
    }
  }
}

}  // namespace
}  // namespace fendro::testing
