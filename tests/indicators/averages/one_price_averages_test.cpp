// Averages fed one-price candles read the price exactly: windows, fixed
// weights, volume weights and recursive filters alike.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace fendro::testing
