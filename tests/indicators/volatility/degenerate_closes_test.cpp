// Flat windows and a zero middle band, which a random walk never gives: the
// fixed answers of the Bollinger ratios there.
#include <gtest/gtest.h>

#include <cmath>

#include "indicators/testing.hpp"

namespace fendro::testing {
namespace {

TEST(VolatilityDegenerateCloses, BollingerRatios) {
  const double sd3 = std::sqrt(2.0 / 3.0);  // of 1, 2, 3
  check_close_cases({
      {"PercentB", {3, 1}, {10, 10, 10}, {kNone, kNone, 0.5}},  // zero width
      {"BollingerBandwidth", {3, 1}, {10, 10, 10}, {kNone, kNone, 0.0}},
      {"BollingerBandwidth", {3, 1}, {-1, 0, 1}, {kNone, kNone, 0.0}},  // zero middle
      {"PercentB", {3, 1}, {1, 2, 3}, {kNone, kNone, (1 + sd3) / (2 * sd3)}},
      {"BollingerBandwidth", {3, 1}, {1, 2, 3}, {kNone, kNone, 2 * sd3 / 2}},
  });
}

}  // namespace
}  // namespace fendro::testing
