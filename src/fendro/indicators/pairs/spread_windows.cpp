#include "fendro/indicators/pairs/spread_windows.hpp"

#include <cmath>
#include <cstddef>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/pairs/pair_inputs.hpp"
#include "fendro/indicators/common/variance_values.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/util/math.hpp"

namespace fendro::pairs {
namespace {

// Least-squares slope of y_i = next(s, i) on x_i = s_i over the n - 1 steps
// of the window (sums oldest first from 0.0); none when the x are flat.
template <class Next>
std::optional<double> slope_on_previous(std::span<const double> s, Next next) {
  const std::size_t m = s.size() - 1;
  const double md = static_cast<double>(m);
  double sum_x = 0.0;
  double sum_y = 0.0;
  for (std::size_t i = 0; i < m; ++i) {
    sum_x = sum_x + s[i];
    sum_y = sum_y + next(s, i);
  }
  const double mx = sum_x / md;
  const double my = sum_y / md;
  double sxx = 0.0;
  double sxy = 0.0;
  for (std::size_t i = 0; i < m; ++i) {
    const double dx = s[i] - mx;
    sxx = sxx + dx * dx;
    sxy = sxy + dx * (next(s, i) - my);
  }
  const double var = vol::clamp_variance(sxx / md);
  if (var <= 0.0) return std::nullopt;
  return (sxy / md) / var;
}

double step_of(std::span<const double> s, std::size_t i) { return s[i + 1] - s[i]; }
double next_of(std::span<const double> s, std::size_t i) { return s[i + 1]; }

}  // namespace

Result<OuHalfLife, IndicatorError> OuHalfLife::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min_first(period, 3, "OU half-life needs period >= 3"));
  return OuHalfLife(period);
}

double OuHalfLife::value(std::span<const double> s) const {
  const auto b = slope_on_previous(s, step_of);
  if (!b || *b >= 0.0) return 0.0;
  return -0.6931471805599453 / *b;
}

Result<SpreadAr1Coefficient, IndicatorError> SpreadAr1Coefficient::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min_first(period, 3, "AR(1) spread coefficient needs period >= 3"));
  return SpreadAr1Coefficient(period);
}

double SpreadAr1Coefficient::value(std::span<const double> s) const {
  return slope_on_previous(s, next_of).value_or(0.0);
}

Result<SpreadHurst, IndicatorError> SpreadHurst::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min_first(period, 8, "spread Hurst needs period >= 8"));
  return SpreadHurst(period);
}

double SpreadHurst::value(std::span<const double> s) {
  const std::size_t n = s.size();
  log_lags_.clear();
  log_msds_.clear();
  for (std::size_t t = 1; t <= max_lag_ && t < n; ++t) {
    double sum = 0.0;
    for (std::size_t i = 0; i + t < n; ++i) {
      const double d = s[i + t] - s[i];
      sum = sum + d * d;
    }
    const double msd = sum / static_cast<double>(n - t);
    if (msd > 0.0) {
      log_lags_.push_back(cr::log(static_cast<double>(t)));
      log_msds_.push_back(cr::log(msd));
    }
  }
  const std::size_t k = log_lags_.size();
  if (k < 2) return 0.5;
  const double mx = stats::ordered_sum(log_lags_) / static_cast<double>(k);
  const double my = stats::ordered_sum(log_msds_) / static_cast<double>(k);
  double sxy = 0.0;
  double sxx = 0.0;
  for (std::size_t i = 0; i < k; ++i) {
    const double dx = log_lags_[i] - mx;
    sxy = sxy + dx * (log_msds_[i] - my);
    sxx = sxx + dx * dx;
  }
  const double h = (sxy / sxx) * 0.5;
  if (h < 0.0) return 0.0;
  if (h > 1.0) return 1.0;
  // An overflowing squared change (ln of +inf) leaves no slope: no information.
  return std::isnan(h) ? 0.5 : h;
}

Result<DistanceSsd, IndicatorError> DistanceSsd::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min_first(period, 2, "distance SSD needs period >= 2"));
  return DistanceSsd(period);
}

std::optional<double> DistanceSsd::update(const BarSnapshot& bar) {
  const auto in = stats::two_series_input(bar);
  if (!in) return no_value();
  ring_.push({in->a, in->b});
  if (!ring_.is_full()) return no_value();
  // Plain copies, not structured bindings: lambdas may not capture those
  // before C++20's fix (clang 14 refuses).
  const double a0 = ring_.front().first;
  const double b0 = ring_.front().second;
  if (a0 == 0.0 || b0 == 0.0) return value_out(0.0);
  double sum = -0.0;
  ring_.for_each([&](const std::pair<double, double>& p) {
    const double d = p.first / a0 - p.second / b0;
    sum = sum + d * d;
  });
  return value_out(sum);
}

Result<PairSpreadZScore, IndicatorError> PairSpreadZScore::create(std::uint64_t beta_period,
                                                                  std::uint64_t z_period) {
  FENDRO_CHECK(
      check_period_min_first(beta_period, 2, "pair spread z-score needs beta_period >= 2"));
  FENDRO_CHECK(check_period_min_first(z_period, 2, "pair spread z-score needs z_period >= 2"));
  return PairSpreadZScore(beta_period, z_period);
}

std::optional<double> PairSpreadZScore::update(const BarSnapshot& bar) {
  const auto in = positive_pair_input(bar);
  if (!in) return no_value();
  const double x = cr::log(in->b);
  const double y = cr::log(in->a);
  beta_.push(x, y);
  if (!beta_.is_full()) return no_value();
  const stats::PairMoments m = beta_.moments();
  const double beta = m.var_a == 0.0 ? 0.0 : m.cov / m.var_a;
  const double spread = y - beta * x;
  spreads_.push(spread);
  if (!spreads_.is_full()) return no_value();
  const stats::Moments z = stats::full_window_moments(spreads_);
  if (z.variance == 0.0) return value_out(0.0);
  return value_out((spread - z.mean) / std::sqrt(z.variance));
}

Result<SpreadBollingerBands, IndicatorError> SpreadBollingerBands::create(std::uint64_t period,
                                                                          double num_std) {
  FENDRO_CHECK(check_period_min_first(period, 2, "spread bollinger bands needs period >= 2"));
  if (!positive_finite(num_std)) {
    return err(IndicatorError::invalid_parameter("spread bollinger bands needs num_std > 0"));
  }
  return SpreadBollingerBands(period, num_std);
}

std::optional<double> SpreadBollingerBands::update(const BarSnapshot& bar) {
  const auto in = stats::two_series_input(bar);
  if (!in) return no_value();
  const double s = in->a - in->b;
  window_.push(s);
  if (!window_.is_full()) return no_value();
  const stats::Moments m = stats::full_window_moments(window_);
  const double w = num_std_ * std::sqrt(m.variance);
  const double upper = m.mean + w;
  const double lower = m.mean - w;
  const double percent_b = w == 0.0 ? 0.5 : (s - lower) / (upper - lower);
  return value_out(outputs_.set(m.mean, upper, lower, percent_b));
}

}  // namespace fendro::pairs
