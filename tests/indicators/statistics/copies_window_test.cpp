// One-price candles at prices whose copies do not sum exactly: every
// statistic of a window of copies reads what exact arithmetic gives, not the
// residue of its rounded mean.
#include <gtest/gtest.h>

#include <vector>

#include "indicators/testing.hpp"
#include "indicators/copies_after_walk.hpp"

namespace fendro::testing::statistics {
namespace {

TEST(StatisticsCopiesWindow, OnePriceCandlesReadTheFlatCase) {
  expect_flat_cases({
      {"JarqueBera", {20}, 19, 0.0},
      {"Autocorrelation", {20, 1}, 19, 0.0},
      {"SampleEntropy", {50, 2, 0.2}, 49, 0.0},
      // No chunk has a range: fewer than two usable splits.
      {"HurstExponent", {100, 4}, 99, 0.5},
      {"Variance", {20}, 19, 0.0},
      {"ZScore", {20}, 19, 0.0},
  });
}

// After a walk the variance's anchor sits at a rounded mean, and the sums of
// deviations about it hold a residue; once the window holds only copies,
// the mean is the price and the variance 0 again.
TEST(StatisticsCopiesWindow, CopiesAfterAWalkReadTheFlatCase) {
  for (const double p : kUnevenPrices) {
    std::vector<double> closes;
    for (int i = 0; i < 23; ++i) closes.push_back(p * (1.0 + 0.01 * static_cast<double>(i % 5)));
    closes.insert(closes.end(), 45, p);
    const Values variance = run_closes("Variance", {20}, closes);
    const Values bands = run_closes("BollingerBands", {20, 2.0}, closes);
    ASSERT_TRUE(variance[41].has_value());
    EXPECT_GT(*variance[41], 0.0) << p;  // the walk's last close still in the window
    for (std::size_t i = 42; i < closes.size(); ++i) {
      EXPECT_EQ(variance[i], 0.0) << p << ", bar " << i;
      EXPECT_EQ(bands[i], p) << p << ", bar " << i;
    }
  }
}

// Every moment about the mean of copies is 0, whatever residue the sums
// rebuilt about a rounded mean hold.
TEST(StatisticsCopiesWindow, HigherMomentsOfCopiesAfterAWalkAreZero) {
  expect_copies_read_flat({
      {"Skewness", {20}, 20, FlatRead::Zero},
      {"Skewness", {64}, 64, FlatRead::Zero},
      {"Kurtosis", {20}, 20, FlatRead::Zero},
      {"Kurtosis", {64}, 64, FlatRead::Zero},
  });
}

// The fit through a window of copies explains all of it: 1 from the bar the
// window holds only copies, also while the sums still hold the residue the
// walk left (histories ending at several phases of their rebuild).
TEST(StatisticsCopiesWindow, RSquaredOfCopiesAfterAWalkIsOne) {
  for (const double p : kUnevenPrices) {
    for (const std::size_t history : {23u, 30u, 37u, 41u}) {
      std::vector<double> closes;
      for (std::size_t i = 0; i < history; ++i) {
        closes.push_back(p * (1.0 + 0.013 * static_cast<double>(i % 7)));
      }
      closes.insert(closes.end(), 45, p);
      const Values r2 = run_closes("RSquared", {20}, closes);
      for (std::size_t i = history + 19; i < closes.size(); ++i) {
        EXPECT_EQ(r2[i], 1.0) << p << " after " << history << " closes, bar " << i;
      }
    }
  }
}

}  // namespace
}  // namespace fendro::testing::statistics
