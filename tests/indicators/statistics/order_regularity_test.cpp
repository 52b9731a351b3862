// Sorted-window statistics, entropies and the Hurst exponent of the close:
// hand-worked values, ties and degenerate windows.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "fendro/indicators/statistics/regularity.hpp"
#include "fendro/indicators/common/sorted_quantile.hpp"
#include "fendro/util/math.hpp"
#include "indicators/family_checks.hpp"
#include "indicators/statistics/stats_testing.hpp"

namespace fendro::testing::statistics {
namespace {

TEST(OrderStatistics, HandWorkedValues) {
  expect_close_values(
      {
          {"RollingQuantile", {4, 0.0}, {3, 1, 4, 2}, 1.0},
          {"RollingQuantile", {4, 1.0}, {3, 1, 4, 2}, 4.0},
          {"RollingQuantile", {4, 0.5}, {3, 1, 4, 2}, 2.5},
          {"RollingQuantile", {5, 0.25}, {5, 4, 3, 2, 1}, 2.0},
          {"RollingQuantile", {1, 0.3}, {3, 1, 4, 2}, 2.0},
          {"RollingQuantile", {3, 0.5}, {9, 9, 1, 5, 3}, 3.0},  // 9s have left
          {"RollingIqr", {1}, {3, 1, 4}, 0.0},
          {"RollingIqr", {2}, {1, 5}, 2.0},
          {"RollingIqr", {5}, {1, 2, 3, 4, 5}, 2.0},
          {"MedianAbsoluteDeviation", {5}, {1, 2, 3, 4, 100}, 1.0},
          {"MedianAbsoluteDeviation", {4}, {1, 2, 3, 4}, 1.0},
          {"MedianAbsoluteDeviation", {4}, {5, 5, 5, 5}, 0.0},
          {"MedianAbsoluteDeviation", {3}, {-1e308, 1e308, 1e308}, 0.0},
          {"RollingPercentileRank", {4}, {1, 2, 3, 4}, 87.5},
          {"RollingPercentileRank", {4}, {4, 3, 2, 1}, 12.5},
          {"RollingPercentileRank", {4}, {2, 1, 2, 2}, 62.5},
          {"RollingPercentileRank", {4}, {6, 6, 6, 6}, 50.0},
          {"RollingMinMaxScaler", {3}, {0, 10, 5}, 0.5},
          {"RollingMinMaxScaler", {3}, {0, 10, 12}, 1.0},
          {"RollingMinMaxScaler", {3}, {0, 10, -3}, 0.0},
          {"RollingMinMaxScaler", {3}, {4, 4, 4}, 0.5},
          {"RollingMinMaxScaler", {2}, {100, 0, 10}, 1.0},  // 100 has left
      });
}

TEST(OrderStatistics, MedianOfTwoHugeValuesDoesNotOverflow) {
  const double big = 1.5e308;
  const double two[] = {big, big};
  EXPECT_EQ(stats::sorted_median(two), big);
  const double three[] = {1, 2, 30};
  EXPECT_EQ(stats::sorted_median(three), 2.0);
  const double four[] = {1, 2, 4, 30};
  EXPECT_EQ(stats::sorted_median(four), 3.0);
}

TEST(OrderStatistics, EqualValuesLeaveOneCopyAtATime) {
  // Window 3 over 5, 5, 1, 5: after the first 5 leaves, {5, 1, 5} remains.
  auto q = make("RollingQuantile", {3, 0.0});
  EXPECT_EQ(last_value(*q, {5, 5, 1, 5}), 1.0);
  auto top = make("RollingQuantile", {3, 1.0});
  EXPECT_EQ(last_value(*top, {5, 5, 1, 1, 1}), 1.0);
}

TEST(Regularity, HandWorkedValues) {
  expect_close_values(
      {
          {"ShannonEntropy", {4, 2}, {0, 10, 0, 10}, 1.0},
          {"ShannonEntropy", {4, 4}, {0, 1, 2, 3}, 2.0},
          {"ShannonEntropy", {4, 4}, {0, 0, 0, 3}, 0.8112781244591328},
          {"ShannonEntropy", {4, 3}, {5, 5, 5, 5}, 0.0},
          {"SampleEntropy", {10, 1, 0.8}, {1, 3, 2, 5, 4, 6, 3, 2, 4, 5}, 0.9808292530117262},
          {"SampleEntropy", {10, 2, 0.8}, {1, 3, 2, 5, 4, 6, 3, 2, 4, 5}, cr::log(2.0)},
          {"SampleEntropy", {8, 2, 0.1}, {1, 2, 1, 2, 9, 1, 2, 8}, cr::log(3.0)},  // A = 0
          {"SampleEntropy", {10, 3, 0.2}, {1, 3, 2, 5, 4, 6, 3, 2, 4, 5}, 0.0},     // B = 0
          {"SampleEntropy", {10, 2, 0.1}, {1, 2, 1, 2, 1, 2, 1, 2, 1, 2}, 0.0},     // A = B
          {"SampleEntropy", {6, 2, 0.5}, {4, 4, 4, 4, 4, 4}, 0.0},
          {"HurstExponent", {8, 2}, {5, 1, 4, 2, 6, 1, 3, 2}, 0.27219553789178297},
          // The ninth value only enters the undivided window.
          {"HurstExponent", {9, 2}, {1, 3, 2, 5, 4, 6, 3, 2, 100}, 0.6966475759397853},
          // A flat chunk does not count; the other chunk of its split does.
          {"HurstExponent", {8, 2}, {1, 1, 1, 1, 2, 3, 4, 5}, 0.9886399617499604},
          {"HurstExponent", {8, 2}, {1, 3, 2, 5, 4, 6, 3, 2}, 1.0},  // clamped
          {"HurstExponent", {8, 4}, {2, 2, 2, 2, 2, 2, 2, 2}, 0.5},
      });
}

TEST(Regularity, SampleEntropyCountsADistanceOfExactlyRAsAMatch) {
  // Integer closes with an integer mean and deviation, so that r is exact
  // and some distances equal it; compared to the bit.
  struct Case {
    std::vector<double> params;
    std::vector<double> closes;
    double want;
    const char* note;
  };
  const Case cases[] = {
      // Deviation 1, r = 2: every distance is 0 or r, so all 28 pairs match
      // at both lengths and the value is -ln 1. Leaving out the distances of
      // r would keep 6 pairs at length 2 and 2 at length 3.
      {{10, 2, 2.0}, {0, 2, 2, 0, 2, 0, 0, 2, 0, 2}, -0.0, "A = B = 28"},
      // The first two closes have left; the window has mean 3 and deviation
      // 1, r = 1. Without the distances of r the counts would be 3 and 5.
      {{12, 2, 1.0},
       {1, 1, 3, 2, 3, 3, 2, 5, 5, 2, 3, 3, 2, 3},
       -cr::log(15.0 / 21.0),
       "A = 15, B = 21"},
  };
  for (const Case& c : cases) {
    auto ind = make("SampleEntropy", c.params);
    ASSERT_TRUE(ind);
    const auto v = last_value(*ind, c.closes);
    ASSERT_TRUE(v) << c.note;
    EXPECT_EQ(bits(*v), bits(c.want)) << c.note << ": " << *v;
  }
}

// Counts the matching template pairs one by one, as the definition reads.
double sample_entropy_by_pairs(const std::vector<double>& x, std::size_t m, double r_factor) {
  const std::size_t n = x.size();
  double mean = 0.0;
  for (double v : x) mean += v;
  mean /= static_cast<double>(n);
  double ss = 0.0;
  for (double v : x) ss += (v - mean) * (v - mean);
  const double r = std::sqrt(ss / static_cast<double>(n)) * r_factor;
  std::uint64_t a = 0;
  std::uint64_t b = 0;
  for (std::size_t i = 0; i < n - m; ++i) {
    for (std::size_t j = i + 1; j < n - m; ++j) {
      bool match = true;
      for (std::size_t k = 0; k < m && match; ++k) match = std::abs(x[i + k] - x[j + k]) <= r;
      if (!match) continue;
      ++b;
      if (std::abs(x[i + m] - x[j + m]) <= r) ++a;
    }
  }
  if (b == 0) return 0.0;
  if (a == 0) return cr::log(static_cast<double>(b));
  return -cr::log(static_cast<double>(a) / static_cast<double>(b));
}

TEST(Regularity, SampleEntropyMatchesAPairByPairCount) {
  // Coarse values, so that differences equal to r occur.
  SplitMix rng(5);
  for (std::size_t m : {1u, 2u, 3u, 6u}) {
    for (double r_factor : {0.2, 0.5, 1.0}) {
      const std::size_t n = 24;
      auto ind = make("SampleEntropy", {static_cast<double>(n), static_cast<double>(m), r_factor});
      std::vector<double> window;
      for (int bar = 0; bar < 120; ++bar) {
        const double x = std::floor(rng.unit() * 5.0);
        window.push_back(x);
        if (window.size() > n) window.erase(window.begin());
        const auto v = step(*ind, flat(x));
        if (window.size() < n) continue;
        ASSERT_TRUE(v);
        ASSERT_EQ(*v, sample_entropy_by_pairs(window, m, r_factor)) << m << " " << r_factor;
      }
    }
  }
}

TEST(Regularity, HistogramBinsOfDegenerateQuotients) {
  struct Case {
    double quotient;
    std::uint64_t bins;
    std::uint64_t want;
  };
  const double inf = std::numeric_limits<double>::infinity();
  const Case cases[] = {
      {0.0, 4, 0},   {3.999, 4, 3}, {4.0, 4, 3}, {1e300, 4, 3},
      {inf, 4, 3},   {std::numeric_limits<double>::quiet_NaN(), 4, 0},
      {2.5, 10, 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(stats::histogram_bin(c.quotient, c.bins), c.want) << c.quotient;
  }
  // A window spanning more than the largest finite number stays defined.
  auto ind = make("ShannonEntropy", {4, 4});
  const auto v = last_value(*ind, {-1.5e308, 1.5e308, 0.0, 1.0});
  ASSERT_TRUE(v);
  EXPECT_FALSE(std::isnan(*v));
}

TEST(Regularity, ShannonEntropyWithMoreBinsThanValues) {
  // Far more bins than values: the same histogram as with few bins when the
  // values fall on bin edges.
  expect_close_values({{"ShannonEntropy", {4, 1000}, {0, 1000, 0, 1000}, 1.0},
                 {"ShannonEntropy", {4, 400}, {0, 100, 200, 300}, 2.0},
                 {"ShannonEntropy", {3, 1000000}, {2, 1, 1}, 0.9182958340544896}});
}

}  // namespace
}  // namespace fendro::testing::statistics
