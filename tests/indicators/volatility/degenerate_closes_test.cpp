// Flat windows, a zero middle band and closes at or below zero, which a
// random walk never gives.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "indicators/testing.hpp"
#include "indicators/copies_after_walk.hpp"

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

// The types that take logarithms refuse closes at or below zero, as every type
// refuses non-finite ones: their values are those of the series without them.
TEST(VolatilityDegenerateCloses, LogTypesRefuseZeroAndNegativeCloses) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<double> with_bad = {100, 0, 101, -3, inf, 103, nan, 102, 104, 99, 101};
  const std::vector<double> clean = {100, 101, 103, 102, 104, 99, 101};
  struct Case {
    const char* key;
    std::vector<double> params;
    bool takes_logs;
  };
  const Case cases[] = {
      {"BipowerVariation", {2}, true},   {"EwmaVolatility", {0.9}, true},
      {"Garch11", {1e-4, 0.1, 0.8}, true}, {"HistoricalVolatility", {2, 1}, true},
      {"JumpIndicator", {2, 1}, true},   {"RealizedVolatility", {2}, true},
      {"VolatilityOfVolatility", {2, 2}, true},
      {"StdDev", {2}, false},            {"DetrendedStdDev", {2}, false},
      {"UlcerIndex", {2}, false},        {"WavePm", {1, 1}, false},
      {"RviVolatility", {2}, false},
  };
  for (const Case& c : cases) {
    const Values got = run_closes(c.key, c.params, with_bad);
    Values kept;
    for (std::size_t i = 0; i < with_bad.size(); ++i) {
      const double x = with_bad[i];
      if (!std::isfinite(x) || (c.takes_logs && x <= 0.0)) {
        EXPECT_FALSE(got[i].has_value()) << c.key << " bar " << i + 1;
      } else {
        kept.push_back(got[i]);
      }
    }
    if (c.takes_logs) {
      EXPECT_TRUE(same_bits(kept, run_closes(c.key, c.params, clean))) << c.key;
    } else {
      EXPECT_GT(kept.size(), clean.size()) << c.key;
    }
  }
}

// Copies of a close give zero returns: once the window of returns holds only
// them, their squares sum to 0, not to the running sum's residue. The
// products of adjacent returns are all 0 a bar sooner, when only the oldest
// return is not.
TEST(VolatilityDegenerateCloses, ZeroReturnsAfterAWalkReadZero) {
  expect_copies_read_flat({
      {"RealizedVolatility", {20}, 21, FlatRead::Zero},
      {"RealizedVolatility", {64}, 65, FlatRead::Zero},
      {"BipowerVariation", {20}, 20, FlatRead::Zero},
      {"BipowerVariation", {64}, 64, FlatRead::Zero},
  });
}

}  // namespace
}  // namespace fendro::testing
