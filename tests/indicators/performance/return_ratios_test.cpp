// Return-distribution, tail-risk and benchmark-relative ratios: hand-worked
// windows, the fixed answers of degenerate windows, infinite ratios, and the
// running sums that are never rebuilt.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "fendro/indicators/performance/active_ratios.hpp"
#include "fendro/indicators/performance/drawdown_ratios.hpp"
#include "fendro/indicators/performance/return_ratios.hpp"
#include "fendro/indicators/performance/tail_risk.hpp"
#include "indicators/family_checks.hpp"
#include "indicators/statistics/stats_testing.hpp"

namespace fendro::testing::performance {
namespace {

using statistics::expect_close_values;

constexpr double kInf = std::numeric_limits<double>::infinity();

// Gains 0.1 and 0.3, one loss of 0.2, one zero (neither).
const std::vector<double> kMixed = {0.1, -0.2, 0.3, 0.0};

// Hand-worked windows, degenerate ones (exact fixed answers) and tail quantiles.
TEST(PerfReturns, LastValuesOfWindows) {
  const double sharpe4 = 2.0 / std::sqrt(5.0 / 3.0);  // window 1..4, rf 0.5
  std::vector<double> twenty;  // -0.05, -0.04, ..., 0.14
  for (int i = -5; i < 15; ++i) twenty.push_back(i / 100.0);
  const std::vector<double> five = {0.3, -0.1, 0.2, 0.0, 0.1};
  expect_close_values({
      {"SharpeRatio", {2, 0.0}, {1, 3}, 2.0 / std::sqrt(2.0)},
      {"SharpeRatio", {4, 0.5}, {1, 2, 3, 4}, sharpe4},
      {"M2Measure", {4, 0.5, 2.0}, {1, 2, 3, 4}, 0.5 + 2.0 * sharpe4},
      // Downside deviation divides by all n values: sqrt(0.04 / 4).
      {"SortinoRatio", {4, 0.0}, kMixed, 0.05 / 0.1},
      {"SortinoRatio", {2, 0.1}, {0.3, 0.0}, (0.15 - 0.1) / std::sqrt(0.01 / 2)},
      {"UpsidePotentialRatio", {4, 0.0}, kMixed, 0.1 / 0.1},
      {"OmegaRatio", {4, 0.0}, kMixed, 2.0},
      {"OmegaRatio", {3, 0.1}, {0.3, 0.1, 0.0}, 0.2 / 0.1},
      {"KellyCriterion", {4}, kMixed, 0.0},
      {"KellyCriterion", {3}, {0.3, -0.1, -0.3}, 1.0 / 3 - (2.0 / 3) / 1.5},
      {"WinRate", {4}, kMixed, 0.5},
      {"WinRate", {2}, {0.1, 0.1, -0.1}, 0.5},  // the first gain has left
      {"ProfitFactor", {4}, kMixed, 2.0},
      {"GainLossRatio", {3}, {0.3, -0.1, -0.3}, 1.5},
      {"Expectancy", {4}, kMixed, 0.05 / 0.2},
      {"GainToPainRatio", {4}, kMixed, 0.2 / 0.2},
      {"SharpeRatio", {3, 0.0}, {0.01, 0.01, 0.01}, 0.0, 0.0},
      {"M2Measure", {3, 0.5, 2.0}, {0.01, 0.01, 0.01}, 0.0, 0.0},
      {"SortinoRatio", {2, 0.0}, {0.1, 0.0}, 0.0, 0.0},
      {"UpsidePotentialRatio", {2, 0.0}, {0.1, 0.2}, 0.0, 0.0},
      {"OmegaRatio", {2, 0.0}, {0.1, 0.0}, kInf, 0.0},
      {"OmegaRatio", {2, 0.1}, {0.1, 0.1}, 1.0, 0.0},
      {"KellyCriterion", {2}, {0.1, 0.0}, 0.5, 0.0},
      {"KellyCriterion", {2}, {-0.1, 0.0}, -1.0, 0.0},
      {"WinRate", {2}, {-0.1, 0.0}, 0.0, 0.0},
      {"ProfitFactor", {2}, {0.1, 0.0}, kInf, 0.0},
      {"ProfitFactor", {2}, {0.0, 0.0}, 1.0, 0.0},
      {"GainLossRatio", {2}, {0.1, 0.0}, kInf, 0.0},
      {"GainLossRatio", {2}, {0.0, 0.0}, 1.0, 0.0},
      {"Expectancy", {2}, {0.1, 0.0}, 0.0, 0.0},
      {"GainToPainRatio", {2}, {0.1, 0.0}, 0.0, 0.0},
      {"ValueAtRisk", {3, 0.9}, {0.0, 0.1, 0.2}, 0.0, 0.0},
      {"ConditionalValueAtRisk", {3, 0.9}, {0.0, 0.1, 0.2}, 0.0, 0.0},
      {"CommonSenseRatio", {3}, {0.0, 0.1, 0.2}, 0.0, 0.0},
      {"TailRatio", {3}, {0.0, 0.0, 0.2}, 0.0, 0.0},
      // h = 0.05 * 19 = 0.95, between the two smallest values.
      {"ValueAtRisk", {20, 0.95}, twenty, 0.05 - 0.95 * 0.01},
      // (1 - c) * n below 1: the single smallest value.
      {"ConditionalValueAtRisk", {4, 0.9}, kMixed, 0.2},
      {"ConditionalValueAtRisk", {4, 0.5}, kMixed, 0.1},
      // (1 - c) * n = 2.5 counts the two smallest values, -0.1 and 0, not three.
      {"ConditionalValueAtRisk", {5, 0.5}, five, 0.05},
      // 0.2 * 7 = 1.4 counts the smallest alone, not the two smallest.
      {"ConditionalValueAtRisk", {7, 0.8}, {0.3, -0.1, 0.2, 0.0, 0.1, -0.3, 0.05}, 0.3},
      // q95 = 0.28, q05 = -0.08.
      {"TailRatio", {5}, five, 3.5},
      {"CommonSenseRatio", {5}, five, (0.6 / 0.1) * 3.5},
  });
}

TEST(PerfReturns, CommonSenseResumesAfterWindowsWithoutLosses) {
  // Windows without losses in the middle of the run change nothing later:
  // each value is the one of a fresh object over the same window.
  const std::vector<double> closes = {-0.1, 0.2, 0.1, 0.3, 0.2, 0.4, -0.3, 0.1, -0.2, 0.5};
  auto ind = make("CommonSenseRatio", {3});
  for (std::size_t i = 0; i < closes.size(); ++i) {
    const auto v = step(*ind, flat(closes[i]));
    if (i < 2) continue;
    auto fresh = make("CommonSenseRatio", {3});
    const auto want = statistics::last_value(*fresh, {closes[i - 2], closes[i - 1], closes[i]});
    ASSERT_TRUE(v && want);
    EXPECT_EQ(*v, *want) << "bar " << i + 1;
  }
}

TEST(PerfReturns, UpsideSumsAreNeverRebuilt) {
  // Only adjusted sums: a window holding no shortfall keeps a rounding
  // residual of the shortfalls that left it, so the ratio is huge instead
  // of the 0.0 a rebuilt sum would give.
  auto ind = make("UpsidePotentialRatio", {2, 0.0});
  const auto v = statistics::last_value(*ind, {-0.0091, -0.0015, 0.02, 0.02});
  ASSERT_TRUE(v);
  EXPECT_GT(*v, 1e6);
}

TEST(PerfReturns, BenchmarkRelativeRatios) {
  const std::vector<double> b = {1, 2, 3, 4};
  const std::vector<double> a = {3, 5, 7, 9};  // 2 * b + 1
  const std::vector<double> flat4 = {5, 5, 5, 5};
  statistics::expect_pair_values({
      {"InformationRatio", {2}, {3, 5}, {2, 2}, 2.0 / std::sqrt(2.0)},
      {"InformationRatio", {4}, a, a, 0.0},
      {"TreynorRatio", {4, 0.5}, a, b, (6.0 - 0.5) / 2.0},
      {"TreynorRatio", {4, 0.5}, a, flat4, 0.0},
      {"TreynorRatio", {4, 0.5}, flat4, b, 0.0},  // beta 0
  });
}

}  // namespace
}  // namespace fendro::testing::performance
