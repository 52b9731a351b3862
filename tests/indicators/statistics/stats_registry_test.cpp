// Every statistics key through the registry: parameter and constructor
// checks in their order, the family table, warm-ups, rejected bars and long
// runs (two-series keys stepped with a reference value).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fendro/registry/families.hpp"
#include "indicators/family_checks.hpp"
#include "indicators/statistics/stats_testing.hpp"

namespace fendro::testing::statistics {
namespace {

TEST(StatsRegistry, ChecksRunInTheirOrder) {
  family::expect_period_checks({"Variance", "ZScore", "CoefficientOfVariation", "JarqueBera",
                                "LogReturn", "RollingIqr", "MedianAbsoluteDeviation",
                                "RollingPercentileRank", "RollingMinMaxScaler"});
  const std::string p = "invalid period: ";
  family::expect_build_reasons({
      // Minimum first: a period read as 0 gets the type's own message.
      {"Skewness", {kTiny}, p + "skewness needs period >= 3"},
      {"Skewness", {2}, p + "skewness needs period >= 3"},
      {"Skewness", {kOver}, kMax},
      {"Skewness", {3}, ""},
      {"Kurtosis", {3}, p + "kurtosis needs period >= 4"},
      {"Kurtosis", {kOver}, kMax},
      // Plain order: zero, the maximum, then the minimum.
      {"JarqueBera", {3}, p + "Jarque-Bera needs period >= 4"},
      {"StandardError", {kTiny}, p + "standard error needs period >= 3"},
      {"StandardError", {kOver}, kMax},
      {"RSquared", {1}, p + "R² needs period >= 2"},
      {"RSquared", {kOver}, kMax},
      {"Autocorrelation", {10, 0}, "parameter #1 must be a positive integer, got 0"},
      {"Autocorrelation", {10, kTiny}, p + "autocorrelation lag must be >= 1"},
      {"Autocorrelation", {kTiny, kTiny}, p + "autocorrelation lag must be >= 1"},
      {"Autocorrelation", {5, 5}, p + "autocorrelation needs period > lag"},
      {"Autocorrelation", {kTiny, 1}, p + "autocorrelation needs period > lag"},
      {"Autocorrelation", {1e12, 1}, ""},  // no upper bound on the period
      {"Autocorrelation", {5}, "missing parameter #1"},
      {"RollingQuantile", {20, kNaN}, "parameter #1 must be finite"},
      {"RollingQuantile", {kTiny, 2}, kZero},
      {"RollingQuantile", {kOver, 2}, kMax},
      {"RollingQuantile", {20, 1.0000001},
       "invalid parameter: rolling quantile must be a finite value in [0.0, 1.0]"},
      {"RollingQuantile", {20, -0.1},
       "invalid parameter: rolling quantile must be a finite value in [0.0, 1.0]"},
      {"RollingQuantile", {20, 0}, ""},
      {"RollingQuantile", {20, 1}, ""},
      {"RollingMinMaxScaler", {1}, p + "min-max scaler needs period >= 2"},
      {"SampleEntropy", {kTiny, kTiny, -1}, kZero},
      {"SampleEntropy", {10, kTiny, -1}, kZero},
      {"SampleEntropy", {3, 2, -1}, p + "sample entropy needs period >= m + 2"},
      {"SampleEntropy", {1e12, 1e30, 1}, p + "sample entropy needs period >= m + 2"},
      {"SampleEntropy", {1e30, 1e30, 1}, p + "sample entropy needs period >= m + 2"},
      {"SampleEntropy", {4, 2, 0},
       "invalid parameter: sample entropy r_factor must be finite and positive"},
      {"SampleEntropy", {4, 2, kNaN}, "parameter #2 must be finite"},
      {"SampleEntropy", {1e12, 2, 0.2}, ""},
      {"ShannonEntropy", {kTiny, 1}, kZero},
      {"ShannonEntropy", {10, kTiny}, kZero},
      {"ShannonEntropy", {10, 1}, p + "Shannon entropy needs bins >= 2"},
      {"ShannonEntropy", {10, kOver}, kMax},
      {"ShannonEntropy", {1e12, 16777216}, ""},
      {"HurstExponent", {kTiny, 1}, p + "Hurst chunks must be >= 2"},
      {"HurstExponent", {kTiny, kOver}, kMax},
      {"HurstExponent", {7, 4}, p + "Hurst period must be >= 2 * chunks"},
      {"HurstExponent", {8, 4}, ""},
      {"HurstExponent", {1e12, 16777216}, ""},
      {"Beta", {1}, p + "beta needs period >= 2"},
      {"Beta", {kTiny}, p + "beta needs period >= 2"},
      {"Beta", {kOver}, kMax},
      {"Alpha", {1, kNaN}, "parameter #1 must be finite"},
      {"Alpha", {1, -5}, p + "alpha needs period >= 2"},
      {"Alpha", {kOver, 0}, kMax},
      {"Alpha", {2, 0}, ""},
      {"PearsonCorrelation", {1}, p + "pearson correlation needs period >= 2"},
      {"PearsonCorrelation", {kOver}, kMax},
      {"RollingCorrelation", {1}, p + "rolling correlation needs period >= 2"},
      {"RollingCovariance", {1}, p + "rolling covariance needs period >= 2"},
      {"RollingCovariance", {kOver}, kMax},
      {"SpearmanCorrelation", {1}, p + "spearman correlation needs period >= 2"},
      {"SpearmanCorrelation", {kOver}, kMax},
      {"KendallTau", {1}, p + "Kendall tau needs period >= 2"},
      {"KendallTau", {kOver}, kMax},
      {"VarianceRatio", {kTiny, kTiny}, p + "variance ratio needs q >= 2"},
      {"VarianceRatio", {kTiny, 1}, p + "variance ratio needs q >= 2"},
      {"VarianceRatio", {kTiny, kOver}, kMax},
      {"VarianceRatio", {5, 4}, p + "variance ratio needs period >= q + 2"},
      {"VarianceRatio", {6, 4}, ""},
      {"VarianceRatio", {1e12, 4}, ""},  // no upper bound on the period
  });
}

TEST(StatsRegistry, FamilyChecks) {
  const auto keys = close_only(registry::statistics_entries(), stats_keys());
  family::expect_warmup(keys);
  family::expect_rejected_bars_ignored(keys);
  family::expect_named_outputs(keys, {});
  family::expect_finite_long_run(keys);
  expect_two_series_rules(two_series_only(stats_keys()), 10000);
}

}  // namespace
}  // namespace fendro::testing::statistics
