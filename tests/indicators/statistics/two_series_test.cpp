// Two-series statistics of the close against the reference value: the
// anchored pair window, hand-worked values, change series across dropped
// bars, rank ties and the incremental Kendall counts.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "fendro/indicators/common/anchored_pair_moments.hpp"
#include "fendro/indicators/statistics/rank_correlation.hpp"
#include "indicators/family_checks.hpp"
#include "indicators/statistics/stats_testing.hpp"

namespace fendro::testing::statistics {
namespace {

TEST(TwoSeries, HandWorkedValues) {
  const std::vector<double> up = {1, 2, 3, 4};
  const std::vector<double> down = {4, 3, 2, 1};
  const std::vector<double> twice = {3, 5, 7, 9};  // 2 * up + 1
  const std::vector<double> flat4 = {5, 5, 5, 5};
  expect_pair_values({
      {"Beta", {4}, twice, up, 2.0},
      {"Beta", {4}, up, flat4, 0.0},
      {"Alpha", {4, 0.0}, twice, up, 1.0},
      {"Alpha", {4, 0.5}, twice, up, 6.0 - (0.5 + 2.0 * (2.5 - 0.5))},
      {"Alpha", {4, 0.5}, twice, flat4, 6.0 - 0.5},
      {"PearsonCorrelation", {4}, twice, up, 1.0},
      {"PearsonCorrelation", {4}, down, up, -1.0},
      {"PearsonCorrelation", {4}, flat4, up, 0.0},
      {"PearsonCorrelation", {3}, {0.1, 0.2, 0.3, 0.7}, {0.3, 0.6, 0.9, 2.1}, 1.0},
      // Changes: A moves 1, 3, -1 while B moves 2, 6, -2.
      {"RollingCorrelation", {3}, {0, 1, 4, 3}, {10, 12, 18, 16}, 1.0},
      {"RollingCovariance", {3}, {0, 1, 4, 3}, {10, 12, 18, 16}, 2.0 * 8.0 / 3.0},
      {"SpearmanCorrelation", {4}, {1, 2, 2, 3}, up, 0.9486832980505138},
      {"SpearmanCorrelation", {4}, {1, 5, 20, 400}, {-9, -10, -30, -31}, -1.0},
      {"SpearmanCorrelation", {4}, flat4, up, 0.0},
      {"KendallTau", {4}, {1, 2, 2, 3}, up, 0.9128709291752769},
      {"KendallTau", {4}, {1, 5, 20, 400}, {-9, -10, -30, -31}, -1.0},
      {"KendallTau", {4}, flat4, up, 0.0},
      {"KendallTau", {3}, {-0.0, 0.0, 1.0}, {1, 2, 3}, 2.0 / std::sqrt(2.0 * 3.0)},
      {"SpearmanCorrelation", {3}, {-0.0, 0.0, 1.0}, {1, 2, 3}, 0.8660254037844386},
      {"VarianceRatio", {6, 2}, {0, 1, 0, 1, 0, 1}, {0, 0, 0, 0, 0, 0}, 1.0 / 12.0},
      {"VarianceRatio", {8, 2}, {1, 3, 2, 5, 4, 6, 3, 2}, {0, 0, 0, 0, 0, 0, 0, 0},
       0.5441419141914191},
      {"VarianceRatio", {8, 3}, {11, 13, 12, 15, 14, 16, 13, 12}, {10, 10, 10, 10, 10, 10, 10, 10},
       0.6085808580858086},
      {"VarianceRatio", {6, 2}, {7, 7, 7, 7, 7, 7}, {2, 2, 2, 2, 2, 2}, 1.0},
      {"VarianceRatio", {6, 2}, {1, 2, 3, 4, 5, 6}, {0, 0, 0, 0, 0, 0}, 1.0},  // constant steps
  });
}

TEST(TwoSeries, ChangesAreTakenAgainstTheLastAcceptedBar) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (const char* key : {"RollingCorrelation", "RollingCovariance"}) {
    auto with_gaps = make(key, {2});
    auto without = make(key, {2});
    EXPECT_FALSE(step_pair(*with_gaps, 1, 10));
    EXPECT_FALSE(step_pair(*with_gaps, 50, std::nullopt));
    EXPECT_FALSE(step_pair(*with_gaps, 2, 13));
    EXPECT_FALSE(step_pair(*with_gaps, nan, 99));
    const auto got = step_pair(*with_gaps, 4, 14);  // first value on the third accepted bar
    EXPECT_FALSE(step_pair(*without, 1, 10));
    EXPECT_FALSE(step_pair(*without, 2, 13));
    const auto want = step_pair(*without, 4, 14);
    ASSERT_TRUE(got && want) << key;
    EXPECT_EQ(*got, *want) << key;
  }
}

TEST(TwoSeries, PairMomentsStayExactOverLongRuns) {
  const auto a = random_walk(20000, 31, 1e6);
  const auto b = reference_walk(20000, 32);
  for (std::uint64_t n : {2u, 7u, 50u}) {
    stats::AnchoredPairMoments w(n);
    std::vector<std::pair<double, double>> window;
    for (std::size_t i = 0; i < a.size(); ++i) {
      w.push(a[i].close, b[i]);
      window.emplace_back(a[i].close, b[i]);
      if (window.size() > n) window.erase(window.begin());
      if (window.size() < n || i % 499 != 0) continue;
      double ma = 0.0;
      double mb = 0.0;
      for (const auto& [x, y] : window) {
        ma += x;
        mb += y;
      }
      ma /= static_cast<double>(n);
      mb /= static_cast<double>(n);
      double va = 0.0;
      double vb = 0.0;
      double cov = 0.0;
      for (const auto& [x, y] : window) {
        va += (x - ma) * (x - ma);
        vb += (y - mb) * (y - mb);
        cov += (x - ma) * (y - mb);
      }
      const double nn = static_cast<double>(n);
      const stats::PairMoments m = w.moments();
      EXPECT_NEAR(m.mean_a, ma, 1e-9 * ma);
      EXPECT_NEAR(m.mean_b, mb, 1e-12 * mb);
      EXPECT_NEAR(m.var_a, va / nn, 1e-6 * (1.0 + va / nn)) << n << " bar " << i;
      EXPECT_NEAR(m.var_b, vb / nn, 1e-9 * (1.0 + vb / nn)) << n << " bar " << i;
      EXPECT_NEAR(m.cov, cov / nn, 1e-6 * (1.0 + std::abs(cov / nn))) << n << " bar " << i;
    }
  }
}

TEST(TwoSeries, KendallCountsMatchADirectCount) {
  // Coarse values so that ties in A, in B and in both occur often.
  SplitMix rng(77);
  for (std::uint64_t n : {2u, 5u, 16u}) {
    auto built = stats::KendallTau::create(n);
    ASSERT_TRUE(built.ok());
    stats::KendallTau& tau = built.value();
    for (int i = 0; i < 3000; ++i) {
      const double a = std::floor(rng.unit() * 4.0);
      const double b = std::floor(rng.unit() * 3.0);
      step_pair(tau, a, b);
      if (i % 37 != 0) continue;
      stats::KendallCounts direct;
      const auto& ring = tau.pairs();
      for (std::size_t j = 0; j < ring.len(); ++j) {
        for (std::size_t k = j + 1; k < ring.len(); ++k) {
          stats::kendall_count(direct, ring[k], ring[j], +1);
        }
      }
      ASSERT_EQ(tau.counts(), direct) << n << " bar " << i;
    }
  }
}

TEST(TwoSeries, SpearmanAfterEvictionsEqualsAFreshRanking) {
  // Coarse values with signed zeros: ties in both series, values leaving
  // while equal ones stay.
  SplitMix rng(13);
  const double levels[] = {-1.0, -0.0, 0.0, 2.0, 3.0};
  for (double n : {2.0, 3.0, 9.0}) {
    auto running = make("SpearmanCorrelation", {n});
    std::vector<double> wa;
    std::vector<double> wb;
    for (int i = 0; i < 400; ++i) {
      const double a = levels[rng.next() % 5];
      const double b = levels[rng.next() % 5];
      wa.push_back(a);
      wb.push_back(b);
      if (wa.size() > static_cast<std::size_t>(n)) {
        wa.erase(wa.begin());
        wb.erase(wb.begin());
      }
      const auto v = step_pair(*running, a, b);
      if (!v) continue;
      auto fresh = make("SpearmanCorrelation", {n});
      const auto want = last_pair_value(*fresh, wa, wb);
      ASSERT_TRUE(want);
      ASSERT_EQ(*v, *want) << n << " bar " << i;
    }
  }
}

}  // namespace
}  // namespace fendro::testing::statistics
