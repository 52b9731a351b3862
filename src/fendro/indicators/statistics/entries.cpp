// Registry entries of this family: one row per type key.
#include "fendro/indicators/statistics/moment_statistics.hpp"
#include "fendro/indicators/statistics/order_statistics.hpp"
#include "fendro/indicators/statistics/rank_correlation.hpp"
#include "fendro/indicators/statistics/regularity.hpp"
#include "fendro/indicators/statistics/two_series_statistics.hpp"
#include "fendro/indicators/statistics/variance_ratio.hpp"
#include "fendro/indicators/statistics/window_statistics.hpp"
#include "fendro/registry/entry_builders.hpp"
#include "fendro/registry/families.hpp"

namespace fendro::registry {

std::span<const Entry> statistics_entries() {
  using namespace stats;
  static constexpr Entry kEntries[] = {
      {"Variance", Feed::Kline, build<Variance, U>, {20},
     {"period [1, MAX]",
      "The population variance of the last `period` closes.",
      "period"}},
      {"ZScore", Feed::Kline, build<ZScore, U>, {20},
     {"period [1, MAX]",
      "(close - mean) / standard deviation of the last `period` closes (population); 0 for a "
      "flat window.",
      "period"}},
      {"CoefficientOfVariation", Feed::Kline, build<CoefficientOfVariation, U>, {20},
     {"period [1, MAX]",
      "The standard deviation over the mean of the last `period` closes (signed like the mean); "
      "0 when the mean is 0.",
      "period"}},
      {"Skewness", Feed::Kline, build<Skewness, U>, {20},
     {"period [3, MAX]",
      "The skewness of the last `period` closes (population moments); 0 for a flat window.",
      "period"}},
      {"Kurtosis", Feed::Kline, build<Kurtosis, U>, {20},
     {"period [4, MAX]",
      "The excess kurtosis of the last `period` closes (population moments, minus 3); 0 for a "
      "flat window.",
      "period"}},
      {"JarqueBera", Feed::Kline, build<JarqueBera, U>, {20},
     {"period [4, MAX]",
      "The Jarque-Bera normality statistic of the last `period` closes.",
      "period"}},
      {"StandardError", Feed::Kline, build<StandardError, U>, {20},
     {"period [3, MAX]",
      "The standard error of the least-squares line through the last `period` closes.",
      "period"}},
      {"RSquared", Feed::Kline, build<RSquared, U>, {20},
     {"period [2, MAX]",
      "The coefficient of determination, 0 to 1, of the least-squares line through the last "
      "`period` closes (1 for a flat window).",
      "period"}},
      {"LogReturn", Feed::Kline, build<LogReturn, U>, {1},
     {"period [1, MAX]",
      "ln(close / the close `period` bars back); a close not above 0 is refused (no value, not "
      "counted).",
      "period + 1"}},
      {"Autocorrelation", Feed::Kline, build<Autocorrelation, U, U>, {20, 1},
     {"period [1, inf) {above `lag`}; lag [1, inf) {below `period`}",
      "The autocorrelation of the last `period` closes themselves (levels, not changes) with their "
      "values `lag` bars back, about the window mean, from -1 to 1; 0 for a flat window.",
      "period"}},
      {"RollingQuantile", Feed::Kline, build<RollingQuantile, U, F>, {20, 0.9},
     {"period [1, MAX]; quantile [0, 1]",
      "The `quantile` of the last `period` closes, interpolated between neighbours.",
      "period"}},
      {"RollingIqr", Feed::Kline, build<RollingIqr, U>, {20},
     {"period [1, MAX]",
      "The interquartile range of the last `period` closes: the 0.75 quantile minus the 0.25 "
      "quantile.",
      "period"}},
      {"MedianAbsoluteDeviation", Feed::Kline, build<MedianAbsoluteDeviation, U>, {20},
     {"period [1, MAX]",
      "The median of the absolute deviations of the last `period` closes from their median (no "
      "scale factor).",
      "period"}},
      {"RollingPercentileRank", Feed::Kline, build<RollingPercentileRank, U>, {20},
     {"period [1, MAX]",
      "The percentile rank, 0 to 100, of the close among the last `period` closes (ties count "
      "half).",
      "period"}},
      {"RollingMinMaxScaler", Feed::Kline, build<RollingMinMaxScaler, U>, {20},
     {"period [2, MAX]",
      "(close - lowest) / (highest - lowest) over the last `period` closes, 0 to 1; 0.5 for a "
      "flat window.",
      "period"}},
      {"SampleEntropy", Feed::Kline, build<SampleEntropy, U, U, F>, {50, 2, 0.2},
     {"period [1, inf) {at least `m` + 2}; m [1, inf) {at most `period` - 2}; r_factor (0, inf)",
      "The sample entropy of the last `period` closes: -ln of the share of template matches of "
      "length `m` + 1 among those of length `m`, within `r_factor` standard deviations (0 for a "
      "flat window or without a match).",
      "period"}},
      {"ShannonEntropy", Feed::Kline, build<ShannonEntropy, U, U>, {50, 10},
     {"period [1, inf); bins [2, MAX]",
      "The Shannon entropy, in bits, of a histogram of the last `period` closes in `bins` equal "
      "bins; 0 for a flat window.",
      "period"}},
      {"HurstExponent", Feed::Kline, build<HurstExponent, U, U>, {100, 4},
     {"period [4, inf) {at least 2 `chunks`}; chunks [2, MAX] {at most `period` / 2}",
      "The Hurst exponent, 0 to 1, of the last `period` closes taken as the series itself (not "
      "their changes), by rescaled-range analysis over splits into 1 to `chunks` equal chunks; 0.5 "
      "with fewer than two usable splits.",
      "period"}},
      {"Beta", Feed::Kline, build<Beta, U>, {20},
     {"period [2, MAX]",
      "The regression beta of the close on the reference series over `period` bars, of the levels "
      "(not returns): cov / var of the reference (0 when it is flat).",
      "period"}},
      {"Alpha", Feed::Kline, build<Alpha, U, F>, {20, 0.0},
     {"period [2, MAX]; risk_free (-inf, inf)",
      "Jensen's alpha of the close against the reference series over `period` bars, of the levels "
      "(not returns): mean close - (`risk_free` + beta (mean reference - `risk_free`)).",
      "period"}},
      {"PearsonCorrelation", Feed::Kline, build<PearsonCorrelation, U>, {20},
     {"period [2, MAX]",
      "The correlation of the close with the reference series (levels) over `period` bars, -1 to "
      "1; 0 when either is flat.",
      "period"}},
      {"RollingCorrelation", Feed::Kline, build<RollingCorrelation, U>, {20},
     {"period [2, MAX]",
      "The correlation of the bar-to-bar changes of the close and of the reference series over "
      "`period` bars, -1 to 1.",
      "period + 1"}},
      {"RollingCovariance", Feed::Kline, build<RollingCovariance, U>, {20},
     {"period [2, MAX]",
      "The population covariance of the bar-to-bar changes of the close and of the reference "
      "series over `period` bars.",
      "period + 1"}},
      {"SpearmanCorrelation", Feed::Kline, build<SpearmanCorrelation, U>, {20},
     {"period [2, MAX]",
      "The rank correlation of the close with the reference series (levels) over `period` bars, -1 "
      "to 1; 0 when either is constant.",
      "period"}},
      {"KendallTau", Feed::Kline, build<KendallTau, U>, {20},
     {"period [2, MAX]",
      "Kendall's tau-b between the close and the reference series (levels) over `period` bars, -1 "
      "to 1; 0 when either is constant.",
      "period"}},
      {"VarianceRatio", Feed::Kline, build<VarianceRatio, U, U>, {40, 4},
     {"period [4, inf) {at least `q` + 2}; q [2, MAX] {at most `period` - 2}",
      "The variance ratio of the spread close - reference over `period` bars: the variance of "
      "`q`-bar changes over `q` times that of one-bar changes (1 for a random walk).",
      "period"}},
  };
  return kEntries;
}

}  // namespace fendro::registry
