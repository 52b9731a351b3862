#include "fendro/indicators/statistics/two_series_statistics.hpp"

#include "fendro/indicators/windows/period.hpp"

namespace fendro::stats {

Result<Beta, IndicatorError> Beta::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min_first(period, 2, "beta needs period >= 2"));
  return Beta(period);
}

double Beta::value(const PairMoments& m, PairInput) const { return pair_beta(m); }

Result<Alpha, IndicatorError> Alpha::create(std::uint64_t period, double risk_free) {
  FENDRO_CHECK(check_period_min_first(period, 2, "alpha needs period >= 2"));
  return Alpha(period, risk_free);
}

double Alpha::value(const PairMoments& m, PairInput) const {
  if (m.var_b <= 0.0) return m.mean_a - risk_free_;
  const double beta = m.cov / m.var_b;
  return m.mean_a - (risk_free_ + beta * (m.mean_b - risk_free_));
}

Result<PearsonCorrelation, IndicatorError> PearsonCorrelation::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min_first(period, 2, "pearson correlation needs period >= 2"));
  return PearsonCorrelation(period);
}

double PearsonCorrelation::value(const PairMoments& m, PairInput) const {
  return pair_correlation(m);
}

Result<RollingCorrelation, IndicatorError> RollingCorrelation::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min_first(period, 2, "rolling correlation needs period >= 2"));
  return RollingCorrelation(period);
}

double RollingCorrelation::value(const PairMoments& m, PairInput) const {
  return pair_correlation(m);
}

Result<RollingCovariance, IndicatorError> RollingCovariance::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min_first(period, 2, "rolling covariance needs period >= 2"));
  return RollingCovariance(period);
}

double RollingCovariance::value(const PairMoments& m, PairInput) const { return m.cov; }

}  // namespace fendro::stats
