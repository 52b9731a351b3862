// Distances between averages of one-price candles, or of the close from its
// average, read 0 exactly.
#include <gtest/gtest.h>

#include "indicators/one_price.hpp"

namespace fendro::testing {
namespace {

TEST(OnePriceDistances, EveryDistanceReadsZero) {
  expect_one_price_reads({
      {"Dpo", {20}, true},
      {"Dpo", {1}, true},
      {"GatorOscillator", {13, 8, 5}, true, true},
      {"VolumeWeightedMacd", {12, 26, 9}, true, true},
  });
}

}  // namespace
}  // namespace fendro::testing
