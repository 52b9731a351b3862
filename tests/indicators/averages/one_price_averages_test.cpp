// Averages fed one-price candles read the price exactly: windows, fixed
// weights, volume weights and recursive filters alike.
#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "indicators/one_price.hpp"

namespace fendro::testing {
namespace {

TEST(OnePriceAverages, EveryAverageReadsThePrice) {
  expect_one_price_reads({
      {"Wma", {14}},
      {"Wma", {1}},
      {"Hma", {14}},
      {"Alma", {9, 0.85, 6}},
      {"SineWeightedMa", {14}},
      {"Smma", {14}},
      {"Jma", {7, 50, 2}},
      {"T3", {5, 0.7}},
      {"T3", {1, 0.7}},
      {"GeneralizedDema", {5, 0.7}},
      {"GeneralizedDema", {1, 0.7}},
      {"GeometricMa", {20}},
      {"McGinleyDynamic", {14}},
      {"AdaptiveLaguerreFilter", {13}},
      {"HoltWinters", {0.3, 0.1}},
      {"Alligator", {13, 8, 5}, false, true},
      {"Vwma", {20}},
      {"Evwma", {20}},
  });
}

// A window of one holds only its newest input: its mean of a -0.0 close is
// +0.0, what a sum of zeros gives, on every bar, also past the re-summations
// (which start from -0.0) that a window of one makes every 16 inputs.
TEST(OnePriceAverages, AWindowOfOneReadsANegativeZeroAsPositive) {
  struct Row {
    std::string_view key;
    std::vector<double> params;
  };
  const Row rows[] = {
      {"Sma", {1}}, {"Trima", {1}}, {"MaEnvelope", {1, 0.025}}, {"Wma", {1}}, {"StdDev", {1}}, {"Cci", {1}},
  };
  // Fifteen moving closes, then -0.0: the first -0.0 comes on the 16th
  // input, the one a window of one re-sums on, and it differs from the
  // input before it.
  std::vector<double> closes;
  for (int i = 1; i <= 15; ++i) closes.push_back(i);
  closes.insert(closes.end(), 40, -0.0);
  for (const Row& row : rows) {
    const Values v = run_closes(row.key, row.params, closes);
    ASSERT_EQ(v.size(), closes.size()) << row.key;
    for (std::size_t i = 15; i < v.size(); ++i) {
      ASSERT_TRUE(v[i].has_value()) << row.key << " bar " << i + 1;
      EXPECT_EQ(bits(*v[i]), bits(0.0)) << row.key << " bar " << i + 1 << " reads " << *v[i];
    }
  }
}

}  // namespace
}  // namespace fendro::testing
