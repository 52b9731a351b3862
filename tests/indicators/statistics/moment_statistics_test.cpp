// Rolling moments and window statistics of the close: hand-worked values,
// dropped closes and the exactness of the anchored sums over long runs (the
// flat windows have their own test).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "fendro/indicators/common/anchored_moments.hpp"
#include "fendro/indicators/statistics/moment_statistics.hpp"
#include "fendro/indicators/statistics/regularity.hpp"
#include "fendro/indicators/statistics/window_statistics.hpp"
#include "fendro/util/math.hpp"
#include "indicators/family_checks.hpp"
#include "indicators/statistics/stats_testing.hpp"

namespace fendro::testing::statistics {
namespace {

TEST(MomentStatistics, HandWorkedValues) {
  expect_close_values({
      {"Variance", {4}, {1, 2, 3, 4}, 1.25, 0},
      {"Variance", {4}, {9, 9, 1, 2, 3, 4}, 1.25, 1e-15},  // the old values left
      {"ZScore", {4}, {1, 2, 3, 4}, 1.3416407864998738, 1e-15},
      {"ZScore", {4}, {4, 3, 2, 1}, -1.3416407864998738, 1e-15},
      {"CoefficientOfVariation", {4}, {1, 2, 3, 4}, 0.4472135954999579, 1e-15},
      {"CoefficientOfVariation", {4}, {-1, -2, -3, -4}, -0.4472135954999579, 1e-15},
      {"CoefficientOfVariation", {2}, {-1, 1}, 0.0, 0},
      {"Skewness", {4}, {1, 2, 3, 10}, 1.0182337649086284, 1e-13},
      {"Skewness", {4}, {10, 3, 2, 1}, 1.0182337649086284, 1e-13},
      {"Skewness", {4}, {-1, -2, -3, -10}, -1.0182337649086284, 1e-13},
      {"Kurtosis", {4}, {1, 2, 3, 10}, -0.7696, 1e-13},
      {"Kurtosis", {5}, {1, 2, 3, 4, 10}, -0.212, 1e-13},
      {"JarqueBera", {5}, {1, 2, 3, 4, 10}, 1.0893633333333337, 1e-13},
      {"StandardError", {4}, {1, 3, 2, 4}, 0.9486832980505138, 1e-15},
      {"StandardError", {5}, {3, 5, 7, 9, 11}, 0.0, 1e-15},
      {"RSquared", {4}, {1, 3, 2, 4}, 0.64, 1e-15},
      {"RSquared", {4}, {8, 1, 3, 2, 4}, 0.64, 1e-15},
      {"RSquared", {5}, {3, 5, 7, 9, 11}, 1.0, 1e-15},
      {"RSquared", {3}, {1, 2, 1}, 0.0, 0},  // no slope at all
      {"LogReturn", {1}, {100, 110}, cr::log(1.1), 0},
      {"LogReturn", {2}, {100, 120, 110}, cr::log(1.1), 0},
      {"Autocorrelation", {4, 1}, {1, 2, 3, 4}, 0.25, 1e-15},
      {"Autocorrelation", {4, 2}, {1, 2, 3, 4}, -0.3, 1e-15},
  });
}

TEST(MomentStatistics, LogReturnDropsNonPositiveCloses) {
  auto ind = make("LogReturn", {1});
  EXPECT_FALSE(step(*ind, flat(100)));
  EXPECT_FALSE(step(*ind, flat(0.0)));
  EXPECT_FALSE(step(*ind, flat(-5.0)));
  EXPECT_EQ(step(*ind, flat(200)), cr::log(2.0));
}

// Naive two-pass central moments of a window, for comparison with the
// anchored running sums.
std::vector<double> central_moments(const std::vector<double>& w) {
  double mean = 0.0;
  for (double x : w) mean += x;
  mean /= static_cast<double>(w.size());
  std::vector<double> c(5, 0.0);
  for (double x : w) {
    const double d = x - mean;
    double power = d;
    for (int k = 2; k <= 4; ++k) c[k] += (power *= d);
  }
  for (double& v : c) v /= static_cast<double>(w.size());
  c[1] = mean;
  return c;
}

TEST(MomentStatistics, AnchoredSumsStayExactOverLongRuns) {
  // A series far from zero with a drifting level: without the periodic
  // re-anchor the running sums would lose the small variance.
  const auto series = random_walk(20000, 9, 1e6);
  for (std::uint64_t n : {5u, 17u, 64u}) {
    stats::AnchoredHigherMoments hm(n);
    auto skew = make("Skewness", {static_cast<double>(n)});
    auto kurt = make("Kurtosis", {static_cast<double>(n)});
    std::vector<double> window;
    for (std::size_t i = 0; i < series.size(); ++i) {
      const double x = series[i].close;
      hm.push(x);
      window.push_back(x);
      if (window.size() > n) window.erase(window.begin());
      const auto s = step(*skew, series[i]);
      const auto k = step(*kurt, series[i]);
      if (window.size() < n || i % 997 != 0) continue;
      const auto c = central_moments(window);
      const double nn = static_cast<double>(n);
      EXPECT_NEAR(hm.anchor() + hm.sums().s1 / nn, c[1], 1e-9 * c[1]);
      const double sd = std::sqrt(c[2]);
      ASSERT_TRUE(s && k);
      EXPECT_NEAR(*s, c[3] / (c[2] * sd), 1e-6) << n << " bar " << i;
      EXPECT_NEAR(*k, c[4] / (c[2] * c[2]) - 3.0, 1e-6) << n << " bar " << i;
    }
  }
}

TEST(MomentStatistics, PositionSumsMatchTheWindowAfterEvictions) {
  // R² computed incrementally equals R² of a fresh indicator fed only the
  // current window.
  const auto series = random_walk(5000, 21);
  for (double n : {2.0, 3.0, 10.0, 33.0}) {
    auto running = make("RSquared", {n});
    std::vector<double> window;
    for (std::size_t i = 0; i < series.size(); ++i) {
      const auto v = step(*running, series[i]);
      window.push_back(series[i].close);
      if (window.size() > static_cast<std::size_t>(n)) window.erase(window.begin());
      if (!v || i % 101 != 0) continue;
      auto fresh = make("RSquared", {n});
      const auto want = last_value(*fresh, window);
      ASSERT_TRUE(want);
      EXPECT_NEAR(*v, *want, 1e-9) << n << " bar " << i;
      EXPECT_GE(*v, 0.0);
      EXPECT_LE(*v, 1.0);
    }
  }
}

}  // namespace
}  // namespace fendro::testing::statistics
