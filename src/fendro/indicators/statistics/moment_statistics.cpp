#include "fendro/indicators/statistics/moment_statistics.hpp"

#include <cmath>

#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/common/window_regression.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/indicators/windows/rolling_variance.hpp"
#include "fendro/util/math.hpp"

namespace fendro::stats {

// ---- Variance, ZScore, CoefficientOfVariation ----

Result<Variance, IndicatorError> Variance::create(std::uint64_t period) {
  FENDRO_TRY(w, rolling_variance_new(period));
  return Variance(period, std::move(w));
}

double Variance::value(double) const { return full_window_moments(window_).variance; }

Result<ZScore, IndicatorError> ZScore::create(std::uint64_t period) {
  FENDRO_TRY(w, rolling_variance_new(period));
  return ZScore(period, std::move(w));
}

double ZScore::value(double x) const {
  const Moments m = full_window_moments(window_);
  return m.variance == 0.0 ? 0.0 : (x - m.mean) / std::sqrt(m.variance);
}

Result<CoefficientOfVariation, IndicatorError> CoefficientOfVariation::create(std::uint64_t period) {
  FENDRO_TRY(w, rolling_variance_new(period));
  return CoefficientOfVariation(period, std::move(w));
}

double CoefficientOfVariation::value(double) const {
  const Moments m = full_window_moments(window_);
  return m.mean == 0.0 ? 0.0 : std::sqrt(m.variance) / m.mean;
}

// ---- Skewness, Kurtosis ----
//
// Powers of m1 and of the variance are formed as products of squares:
// m1^3 = (m1 * m1) * m1, m1^4 = (m1 * m1) * (m1 * m1), v^2 = v * v.

Result<Skewness, IndicatorError> Skewness::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min_first(period, 3, "skewness needs period >= 3"));
  return Skewness(period, AnchoredHigherMoments(period));
}

double Skewness::value(double) const {
  if (window_.holds_only_copies()) return 0.0;
  const PowerSums4& s = window_.sums();
  const double n = static_cast<double>(period_);
  const double m1 = s.s1 / n;
  const double v = clamp_variance(s.s2 / n - m1 * m1);
  if (v == 0.0) return 0.0;
  const double m1_3 = (m1 * m1) * m1;
  return (s.s3 / n - 3.0 * m1 * (s.s2 / n) + 2.0 * m1_3) / (v * std::sqrt(v));
}

Result<Kurtosis, IndicatorError> Kurtosis::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min_first(period, 4, "kurtosis needs period >= 4"));
  return Kurtosis(period, AnchoredHigherMoments(period));
}

double Kurtosis::value(double) const {
  if (window_.holds_only_copies()) return 0.0;
  const PowerSums4& s = window_.sums();
  const double n = static_cast<double>(period_);
  const double m1 = s.s1 / n;
  const double v = clamp_variance(s.s2 / n - m1 * m1);
  if (v == 0.0) return 0.0;
  const double m1_2 = m1 * m1;
  const double central4 = s.s4 / n - 4.0 * m1 * (s.s3 / n) + 6.0 * m1_2 * (s.s2 / n) -
                          3.0 * (m1_2 * m1_2);
  return central4 / (v * v) - 3.0;
}

// ---- RSquared ----

Result<RSquared, IndicatorError> RSquared::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min_first(period, 2, "R² needs period >= 2"));
  return RSquared(period);
}

RSquared::RSquared(std::uint64_t n) : CloseWindowStat(n, PositionMoments(n)) {
  const RegressionConstants k = regression_constants(n);
  t_ = k.sx;
  d_ = k.d;
}

double RSquared::value(double) const {
  if (window_.holds_only_copies()) return 1.0;
  const PositionSums& s = window_.sums();
  const double n = static_cast<double>(period_);
  const double ss_yy = clamp_variance(s.s2 - (s.s1 / n) * ((s.s1 / n) * n));
  if (ss_yy <= 0.0) return 1.0;
  const double b = (n * s.p - t_ * s.s1) / d_;
  const double r2 = (d_ / n) * b * b / ss_yy;
  return r2 < 0.0 ? 0.0 : (r2 > 1.0 ? 1.0 : r2);
}

// ---- LogReturn ----

Result<LogReturn, IndicatorError> LogReturn::create(std::uint64_t period) {
  FENDRO_TRY(closes, lag_ring_new(period));
  return LogReturn(std::move(closes));
}

std::optional<double> LogReturn::update(const BarSnapshot& bar) {
  const auto close = finite_close(bar);
  if (!close || !(*close > 0.0)) return no_value();
  closes_.ring.push(*close);
  if (!closes_.ring.is_full()) return no_value();
  return value_out(cr::log(*close / closes_.ring.front()));
}

}  // namespace fendro::stats
