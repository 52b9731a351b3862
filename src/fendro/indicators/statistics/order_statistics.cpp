#include "fendro/indicators/statistics/order_statistics.hpp"

#include <cmath>

#include "fendro/indicators/common/sorted_quantile.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/indicators/windows/ring_windows.hpp"

namespace fendro::stats {

// ---- RollingQuantile, RollingIqr ----

Result<RollingQuantile, IndicatorError> RollingQuantile::create(std::uint64_t period,
                                                                double quantile) {
  FENDRO_TRY(w, sorted_window_new(period));
  if (!(quantile >= 0.0 && quantile <= 1.0)) {
    return err(IndicatorError::invalid_parameter(
        "rolling quantile must be a finite value in [0.0, 1.0]"));
  }
  return RollingQuantile(period, std::move(w), quantile);
}

double RollingQuantile::value(double) const { return sorted_quantile(window_.sorted(), q_); }

Result<RollingIqr, IndicatorError> RollingIqr::create(std::uint64_t period) {
  FENDRO_TRY(w, sorted_window_new(period));
  return RollingIqr(period, std::move(w));
}

double RollingIqr::value(double) const {
  return sorted_quantile(window_.sorted(), 0.75) - sorted_quantile(window_.sorted(), 0.25);
}

// ---- MedianAbsoluteDeviation ----

Result<MedianAbsoluteDeviation, IndicatorError> MedianAbsoluteDeviation::create(
    std::uint64_t period) {
  FENDRO_TRY(w, sorted_window_new(period));
  return MedianAbsoluteDeviation(period, std::move(w));
}

double MedianAbsoluteDeviation::value(double) {
  const double center = sorted_median(window_.sorted());
  abs_deviations_sorted(window_.sorted(), center, deviations_);
  return sorted_median(deviations_);
}

// ---- RollingPercentileRank ----

Result<RollingPercentileRank, IndicatorError> RollingPercentileRank::create(std::uint64_t period) {
  FENDRO_TRY(w, ring_window_new(period));
  return RollingPercentileRank(period, std::move(w.ring));
}

double RollingPercentileRank::value(double x) const {
  std::uint64_t below = 0;
  std::uint64_t equal = 0;
  window_.for_each([&](double v) {
    below += v < x ? 1 : 0;
    equal += v == x ? 1 : 0;
  });
  const double n = static_cast<double>(period_);
  return (static_cast<double>(below) + static_cast<double>(equal) / 2.0) / n * 100.0;
}

// ---- RollingMinMaxScaler ----

Result<RollingMinMaxScaler, IndicatorError> RollingMinMaxScaler::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min(period, 2, "min-max scaler needs period >= 2"));
  return RollingMinMaxScaler(period, BoundedRing<double>(period));
}

double RollingMinMaxScaler::value(double x) const {
  double lo = window_.front();
  double hi = lo;
  window_.for_each([&](double v) {
    lo = v < lo ? v : lo;
    hi = v > hi ? v : hi;
  });
  const double range = hi - lo;
  return range > 0.0 ? (x - lo) / range : 0.5;
}

}  // namespace fendro::stats
