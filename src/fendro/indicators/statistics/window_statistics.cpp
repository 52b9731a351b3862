#include "fendro/indicators/statistics/window_statistics.hpp"

#include <cmath>

#include "fendro/indicators/common/window_regression.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro::stats {

// ---- JarqueBera ----

Result<JarqueBera, IndicatorError> JarqueBera::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min(period, 4, "Jarque-Bera needs period >= 4"));
  return JarqueBera(period, BoundedRing<double>(period));
}

double JarqueBera::value(double x) const {
  const double n = static_cast<double>(period_);
  const double mean = ring_sum(window_) / n;
  double c2 = -0.0;
  double c3 = -0.0;
  double c4 = -0.0;
  window_.for_each([&](double v) {
    const double d = v - mean;
    const double d2 = d * d;
    c2 = c2 + d2;
    c3 = c3 + d2 * d;
    c4 = c4 + d2 * d2;
  });
  const double m2 = c2 / n;
  // Copies of x have no moment, whatever the rounded mean.
  if (m2 == 0.0 || ring_only_copies(window_, x)) return 0.0;
  const double m3 = c3 / n;
  const double m4 = c4 / n;
  const double s = m3 / (m2 * std::sqrt(m2));
  const double k = m4 / (m2 * m2) - 3.0;
  return (n / 6.0) * (s * s + k * k * 0.25);
}

// ---- StandardError ----

Result<StandardError, IndicatorError> StandardError::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min_first(period, 3, "standard error needs period >= 3"));
  return StandardError(period);
}

StandardError::StandardError(std::uint64_t n)
    : CloseWindowStat(n, BoundedRing<double>(n)),
      sxx_(regression_constants(n).d / static_cast<double>(n)) {}

double StandardError::value(double) const {
  // Values are taken relative to the oldest one, positions centred on their
  // mean.
  const double n = static_cast<double>(period_);
  const double i_mean = (n - 1.0) * 0.5;
  const double y0 = window_.front();
  double total = -0.0;
  window_.for_each([&](double y) { total = total + (y - y0); });
  const double u_mean = total / n;
  double sxy = -0.0;
  double i = 0.0;
  window_.for_each([&](double y) {
    sxy = sxy + (i - i_mean) * ((y - y0) - u_mean);
    i += 1.0;
  });
  const double b = sxy / sxx_;
  double rss = -0.0;
  i = 0.0;
  window_.for_each([&](double y) {
    const double e = ((y - y0) - u_mean) - b * (i - i_mean);
    rss = rss + e * e;
    i += 1.0;
  });
  return std::sqrt(rss / (n - 2.0));
}

// ---- Autocorrelation ----

Result<Autocorrelation, IndicatorError> Autocorrelation::create(std::uint64_t period,
                                                                std::uint64_t lag) {
  if (lag == 0) return err(IndicatorError::invalid_period("autocorrelation lag must be >= 1"));
  if (period <= lag) {
    return err(IndicatorError::invalid_period("autocorrelation needs period > lag"));
  }
  return Autocorrelation(period, lag);
}

double Autocorrelation::value(double) {
  copy_oldest_first(window_, values_);
  const std::size_t n = values_.size();
  const auto [mean, dn] = centred_sums(values_);
  if (dn == 0.0) return 0.0;
  const std::size_t lag = static_cast<std::size_t>(lag_);
  double nm = -0.0;
  for (std::size_t i = 0; i + lag < n; ++i) nm = nm + (values_[i] - mean) * (values_[i + lag] - mean);
  return nm / dn;
}

}  // namespace fendro::stats
