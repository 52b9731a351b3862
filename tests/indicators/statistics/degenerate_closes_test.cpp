// Flat windows, which a random walk never gives: the fixed answers of the
// moment statistics there.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "indicators/statistics/stats_testing.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing::statistics {
namespace {

TEST(StatisticsDegenerateCloses, FlatWindowsGiveTheirFixedValues) {
  const std::vector<double> flat_closes(12, 7.5);
  expect_close_values({
      {"Variance", {5}, flat_closes, 0.0, 0},
      {"ZScore", {5}, flat_closes, 0.0, 0},
      {"Skewness", {5}, flat_closes, 0.0, 0},
      {"Kurtosis", {5}, flat_closes, 0.0, 0},
      {"JarqueBera", {5}, flat_closes, 0.0, 0},
      {"RSquared", {5}, flat_closes, 1.0, 0},
      {"Autocorrelation", {5, 1}, flat_closes, 0.0, 0},
      {"StandardError", {5}, flat_closes, 0.0, 0},
      {"CoefficientOfVariation", {5}, flat_closes, 0.0, 0},
  });
  // A variance that rounds just below zero never reaches a square root.
  auto v = make("Variance", {3});
  const auto got = last_value(*v, {0.1, 0.1, 0.1, 0.1});
  ASSERT_TRUE(got);
  EXPECT_FALSE(std::signbit(*got));
  EXPECT_EQ(*got, 0.0);
}

}  // namespace
}  // namespace fendro::testing::statistics
