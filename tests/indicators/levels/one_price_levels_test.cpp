// Volume-weighted support and resistance of one-price candles are the price.
#include <gtest/gtest.h>

#include "indicators/one_price.hpp"

namespace fendro::testing {
namespace {

TEST(OnePriceLevels, BothLevelsAreThePrice) {
  expect_one_price_reads({
      {"VolumeWeightedSr", {20}, false, true},
  });
}

}  // namespace
}  // namespace fendro::testing
