// Bars without volume, which the long random walks never open with.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace fendro::testing
