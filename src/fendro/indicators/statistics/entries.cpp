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
      {"Variance", build<Variance, U>},
      {"ZScore", build<ZScore, U>},
      {"CoefficientOfVariation", build<CoefficientOfVariation, U>},
      {"Skewness", build<Skewness, U>},
      {"Kurtosis", build<Kurtosis, U>},
      {"JarqueBera", build<JarqueBera, U>},
      {"StandardError", build<StandardError, U>},
      {"RSquared", build<RSquared, U>},
      {"LogReturn", build<LogReturn, U>},
      {"Autocorrelation", build<Autocorrelation, U, U>},
      {"RollingQuantile", build<RollingQuantile, U, F>},
      {"RollingIqr", build<RollingIqr, U>},
      {"MedianAbsoluteDeviation", build<MedianAbsoluteDeviation, U>},
      {"RollingPercentileRank", build<RollingPercentileRank, U>},
      {"RollingMinMaxScaler", build<RollingMinMaxScaler, U>},
      {"SampleEntropy", build<SampleEntropy, U, U, F>},
      {"ShannonEntropy", build<ShannonEntropy, U, U>},
      {"HurstExponent", build<HurstExponent, U, U>},
      {"Beta", build<Beta, U>},
      {"Alpha", build<Alpha, U, F>},
      {"PearsonCorrelation", build<PearsonCorrelation, U>},
      {"RollingCorrelation", build<RollingCorrelation, U>},
      {"RollingCovariance", build<RollingCovariance, U>},
      {"SpearmanCorrelation", build<SpearmanCorrelation, U>},
      {"KendallTau", build<KendallTau, U>},
      {"VarianceRatio", build<VarianceRatio, U, U>},
  };
  return kEntries;
}

}  // namespace fendro::registry
