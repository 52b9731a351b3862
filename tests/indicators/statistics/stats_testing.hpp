// Keys of the statistics family with customary parameters (shared by the
// tests and the benchmark), and runs of closes and of two-series types.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fendro/registry/registry.hpp"
#include "../two_series.hpp"

namespace fendro::testing::statistics {

inline const std::vector<TwoSeriesKey>& stats_keys() {
  static const std::vector<TwoSeriesKey> keys = {
      {"Variance", {20}, false},
      {"ZScore", {20}, false},
      {"CoefficientOfVariation", {20}, false},
      {"Skewness", {20}, false},
      {"Kurtosis", {20}, false},
      {"JarqueBera", {20}, false},
      {"StandardError", {20}, false},
      {"RSquared", {20}, false},
      {"LogReturn", {1}, false},
      {"Autocorrelation", {20, 1}, false},
      {"RollingQuantile", {20, 0.9}, false},
      {"RollingIqr", {20}, false},
      {"MedianAbsoluteDeviation", {20}, false},
      {"RollingPercentileRank", {20}, false},
      {"RollingMinMaxScaler", {20}, false},
      {"SampleEntropy", {50, 2, 0.2}, false},
      {"ShannonEntropy", {50, 10}, false},
      {"HurstExponent", {100, 4}, false},
      {"Beta", {20}, true},
      {"Alpha", {20, 0.0}, true},
      {"PearsonCorrelation", {20}, true},
      {"RollingCorrelation", {20}, true},
      {"RollingCovariance", {20}, true},
      {"SpearmanCorrelation", {20}, true},
      {"KendallTau", {20}, true},
      {"VarianceRatio", {40, 4}, true},
  };
  return keys;
}

// The last value of a run over equal-length series A and B.
inline std::optional<double> last_pair_value(Indicator& ind, const std::vector<double>& a,
                                             const std::vector<double>& b) {
  std::optional<double> v;
  for (std::size_t i = 0; i < a.size(); ++i) v = step_pair(ind, a[i], b[i]);
  return v;
}

// The last value of a run over closes.
inline std::optional<double> last_value(Indicator& ind, const std::vector<double>& closes) {
  std::optional<double> v;
  for (double x : closes) v = step(ind, flat(x));
  return v;
}

// The last value of a key over closes, against an expected value (exactly
// when `tol` is 0).
struct CloseCase {
  const char* key;
  std::vector<double> params;
  std::vector<double> closes;
  double want;
  double tol = 1e-12;
};

inline void expect_close_values(const std::vector<CloseCase>& cases) {
  for (const CloseCase& c : cases) {
    auto built = build_indicator(c.key, c.params);
    ASSERT_TRUE(built.ok()) << c.key;
    const auto v = last_value(*built.value(), c.closes);
    ASSERT_TRUE(v.has_value()) << c.key;
    const std::string what = std::string(c.key) + " " + ::testing::PrintToString(c.params) +
                             " " + ::testing::PrintToString(c.closes);
    if (c.tol == 0.0) {
      EXPECT_EQ(*v, c.want) << what;
    } else {
      EXPECT_NEAR(*v, c.want, c.tol) << what;
    }
  }
}

}  // namespace fendro::testing::statistics
