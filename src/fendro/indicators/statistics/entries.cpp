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
      {"Variance", Feed::Kline, build<Variance, U>, {20}},
      {"ZScore", Feed::Kline, build<ZScore, U>, {20}},
      {"CoefficientOfVariation", Feed::Kline, build<CoefficientOfVariation, U>, {20}},
      {"Skewness", Feed::Kline, build<Skewness, U>, {20}},
      {"Kurtosis", Feed::Kline, build<Kurtosis, U>, {20}},
      {"JarqueBera", Feed::Kline, build<JarqueBera, U>, {20}},
      {"StandardError", Feed::Kline, build<StandardError, U>, {20}},
      {"RSquared", Feed::Kline, build<RSquared, U>, {20}},
      {"LogReturn", Feed::Kline, build<LogReturn, U>, {1}},
      {"Autocorrelation", Feed::Kline, build<Autocorrelation, U, U>, {20, 1}},
      {"RollingQuantile", Feed::Kline, build<RollingQuantile, U, F>, {20, 0.9}},
      {"RollingIqr", Feed::Kline, build<RollingIqr, U>, {20}},
      {"MedianAbsoluteDeviation", Feed::Kline, build<MedianAbsoluteDeviation, U>, {20}},
      {"RollingPercentileRank", Feed::Kline, build<RollingPercentileRank, U>, {20}},
      {"RollingMinMaxScaler", Feed::Kline, build<RollingMinMaxScaler, U>, {20}},
      {"SampleEntropy", Feed::Kline, build<SampleEntropy, U, U, F>, {50, 2, 0.2}},
      {"ShannonEntropy", Feed::Kline, build<ShannonEntropy, U, U>, {50, 10}},
      {"HurstExponent", Feed::Kline, build<HurstExponent, U, U>, {100, 4}},
      {"Beta", Feed::Kline, build<Beta, U>, {20}},
      {"Alpha", Feed::Kline, build<Alpha, U, F>, {20, 0.0}},
      {"PearsonCorrelation", Feed::Kline, build<PearsonCorrelation, U>, {20}},
      {"RollingCorrelation", Feed::Kline, build<RollingCorrelation, U>, {20}},
      {"RollingCovariance", Feed::Kline, build<RollingCovariance, U>, {20}},
      {"SpearmanCorrelation", Feed::Kline, build<SpearmanCorrelation, U>, {20}},
      {"KendallTau", Feed::Kline, build<KendallTau, U>, {20}},
      {"VarianceRatio", Feed::Kline, build<VarianceRatio, U, U>, {40, 4}},
  };
  return kEntries;
}

}  // namespace fendro::registry
