#include <algorithm>
#include <cmath>
#include <utility>

#include "fendro/indicators/common/fused.hpp"
#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/util/run_scope.hpp"
#include "fendro/indicators/trend/trend_filters.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

Result<VerticalHorizontalFilter, IndicatorError> VerticalHorizontalFilter::create(
    std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return VerticalHorizontalFilter(period);
}

std::optional<double> VerticalHorizontalFilter::update(const BarSnapshot& bar) {
  double close;
  if (!finite_close_to(bar, close)) return no_value();
  const double x = close;
  highest_.push(x);
  lowest_.push(x);
  if (prev_close_) {
    if (changes_.is_full()) sum_ = sum_ - changes_.front();
    const double change = std::abs(x - *prev_close_);
    changes_.push(change);
    sum_ = change + sum_;
    zeros_.push(change);
  }
  prev_close_ = x;
  if (!changes_.is_full()) return no_value();
  const double sum = zeros_.read(sum_, changes_.capacity());
  if (sum == 0.0) return value_out(0.0);
  return value_out((highest_.value() - lowest_.value()) / sum);
}

Result<PolarizedFractalEfficiency, IndicatorError> PolarizedFractalEfficiency::create(
    std::uint64_t period, std::uint64_t smoothing) {
  FENDRO_CHECK(check_period(period));
  FENDRO_CHECK(check_period(smoothing));
  return PolarizedFractalEfficiency(period, smoothing);
}

std::optional<double> PolarizedFractalEfficiency::update(const BarSnapshot& bar) {
  double close;
  if (!finite_close_to(bar, close)) return no_value();
  const double x = close;
  if (prev_close_) {
    const double dx = x - *prev_close_;
    const double segment = std::sqrt(fused_mul_add(dx, dx, 1.0));
    sum_ = sum_ + segment;
    if (const auto old = segments_.push(segment)) sum_ = sum_ - *old;
  }
  prev_close_ = x;
  closes_.push(x);
  if (!closes_.is_full()) return no_value();
  const double d = x - closes_.front();
  const double n = static_cast<double>(n_);
  const double sign = d > 0.0 ? 100.0 : (d < 0.0 ? -100.0 : 0.0);
  const double pfe = (std::sqrt(fused_mul_add(d, d, n * n)) * sign) / sum_;
  if (!std::isfinite(pfe)) return no_value();
  return returned(ema_update_settled(ema_, pfe));
}

Result<TrendStrengthIndex, IndicatorError> TrendStrengthIndex::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min(period, 2, "period must be >= 2 for a regression"));
  return TrendStrengthIndex(period);
}

std::optional<double> TrendStrengthIndex::update(const BarSnapshot& bar) {
  double close;
  if (!finite_close_to(bar, close)) return no_value();
  closes_.push(close);
  if (!closes_.is_full()) return no_value();
  // The mean and the fit's sums: about two steps a value.
  if (stop_before(2 * closes_.len())) return no_value();
  const double n = static_cast<double>(closes_.capacity());
  if (!positions_ready_) {
    double sxx = 0.0;
    for (double i = 0.0; i < n; i += 1.0) {
      sx_ += i;
      sxx += i * i;
    }
    dx_ = fused_mul_add(n, sxx, -(sx_ * sx_));
    positions_ready_ = true;
  }
  double total = 0.0;
  closes_.for_each([&](double v) { total += v; });
  const double mean = total / n;
  double sy = 0.0, syy = 0.0, sxy = 0.0, i = 0.0;
  closes_.for_each([&](double v) {
    const double y = v - mean;
    sy += y;
    syy += y * y;
    sxy += y * i;
    i += 1.0;
  });
  const double dy = fused_mul_add(n, syy, -(sy * sy));
  if (dy <= 0.0) return value_out(0.0);
  const double num = fused_mul_add(n, sxy, sx_ * (-sy));
  const double r2 = (num * num) / (dy * dx_);
  return value_out(num < 0.0 ? -r2 : r2);
}

Result<ElderImpulse, IndicatorError> ElderImpulse::create(std::uint64_t ema_period,
                                                          std::uint64_t fast, std::uint64_t slow,
                                                          std::uint64_t signal) {
  FENDRO_CHECK(check_period(ema_period));
  if (fast == 0 || slow == 0 || signal == 0) return err(IndicatorError::zero_period());
  if (fast >= slow) {
    return err(
        IndicatorError::invalid_period("fast period must be strictly less than slow period"));
  }
  if (fast > MAX_PERIOD || slow > MAX_PERIOD || signal > MAX_PERIOD) {
    return err(IndicatorError::invalid_period(kMaxPeriodReason));
  }
  return ElderImpulse(ema_period, fast, slow, signal);
}

std::uint64_t ElderImpulse::warmup_period() const {
  return std::max(slow_.period + signal_.period - 1, ema_.period) + 1;
}

std::optional<double> ElderImpulse::update(const BarSnapshot& bar) {
  double close;
  if (!finite_close_to(bar, close)) return no_value();
  const double x = close;
  ema_update(ema_, x);
  const auto fast = ema_update(fast_, x);
  const auto slow = ema_update(slow_, x);
  if (!slow || !fast) return no_value();
  const double line = *fast - *slow;
  if (!std::isfinite(line)) return no_value();
  const auto signal = ema_update_settled(signal_, line);
  if (!signal) return no_value();
  const double histogram = line - *signal;
  if (!ema_.seeded) return no_value();
  const double ema = ema_.value;
  const auto prev_ema = std::exchange(prev_ema_, ema);
  const auto prev_histogram = std::exchange(prev_histogram_, histogram);
  if (!prev_ema || !prev_histogram) return no_value();
  if (histogram > *prev_histogram && ema > *prev_ema) return value_out(1.0);
  if (histogram < *prev_histogram && ema < *prev_ema) return value_out(-1.0);
  return value_out(0.0);
}

}  // namespace fendro
