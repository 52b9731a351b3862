#include "fendro/indicators/pairs/pair_trackers.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/close_window.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/common/two_series.hpp"
#include "fendro/indicators/common/variance_values.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro::pairs {

Result<KalmanHedgeRatio, IndicatorError> KalmanHedgeRatio::create(double delta,
                                                                  double observation_var) {
  if (!(delta > 0.0 && delta < 1.0)) {
    return err(IndicatorError::invalid_parameter("kalman hedge ratio needs delta in (0, 1)"));
  }
  if (!positive_finite(observation_var)) {
    return err(IndicatorError::invalid_parameter("kalman hedge ratio needs observation_var > 0"));
  }
  return KalmanHedgeRatio(delta, observation_var);
}

std::optional<double> KalmanHedgeRatio::update(const BarSnapshot& bar) {
  const auto in = stats::two_series_input(bar);
  if (!in) return no_value();
  const double b = in->b;
  if (updates_ != 0) {
    p00_ = p00_ + q_;
    p11_ = p11_ + q_;
  }
  const double hp0 = b * p00_ + p10_;
  const double hp1 = b * p01_ + p11_;
  const double ph0 = p01_ + p00_ * b;
  const double ph1 = p11_ + p10_ * b;
  const double s = r_ + (hp1 + b * hp0);
  const double k0 = ph0 / s;
  const double k1 = ph1 / s;
  const double e = in->a - (b * beta_ + alpha_);
  beta_ = beta_ + k0 * e;
  alpha_ = alpha_ + k1 * e;
  p00_ = p00_ - k0 * hp0;
  p01_ = p01_ - k0 * hp1;
  p10_ = p10_ - k1 * hp0;
  p11_ = p11_ - k1 * hp1;
  updates_ += 1;
  return value_out(outputs_.set(beta_, alpha_, e));
}

Result<LeadLagCrossCorrelation, IndicatorError> LeadLagCrossCorrelation::create(
    std::uint64_t window, std::uint64_t max_lag) {
  FENDRO_CHECK(
      check_period_min_first(window, 2, "lead-lag cross-correlation needs window >= 2"));
  // The shift is bounded like a window length, so the rings' length
  // window + 2 * max_lag can always be formed.
  FENDRO_CHECK(
      check_period_min_first(max_lag, 1, "lead-lag cross-correlation needs max_lag >= 1"));
  return LeadLagCrossCorrelation(window, max_lag);
}

LeadLagCrossCorrelation::LeadLagCrossCorrelation(std::uint64_t window, std::uint64_t max_lag)
    : a_(window + 2 * max_lag), b_(window + 2 * max_lag), window_(window), max_lag_(max_lag) {}

std::optional<double> LeadLagCrossCorrelation::update(const BarSnapshot& bar) {
  const auto in = stats::two_series_input(bar);
  if (!in) return no_value();
  a_.push(in->a);
  b_.push(in->b);
  if (!a_.is_full()) return no_value();
  return value_out(outputs_.set(best_correlation()));
}

namespace {

// Two-pass correlation of x and y (equal lengths), clamped to [-1, 1]; 0
// when either is flat. `cx` is x's centring, shared by every candidate. (The
// means here are summed from -0.0 rather than 0.0: the two differ only for a
// sum of negative zeros, which changes no deviation.)
double correlation(std::span<const double> x, const stats::CentredSums& cx,
                   std::span<const double> y) {
  const stats::CentredSums cy = stats::centred_sums(y);
  double sxy = 0.0;
  for (std::size_t i = 0; i < x.size(); ++i) sxy = sxy + (x[i] - cx.mean) * (y[i] - cy.mean);
  const double n = static_cast<double>(x.size());
  const double var_x = vol::clamp_variance(cx.squares / n);
  const double var_y = vol::clamp_variance(cy.squares / n);
  const double denom = var_x * var_y;
  if (denom == 0.0) return 0.0;
  return std::clamp((sxy / n) / std::sqrt(denom), -1.0, 1.0);
}

}  // namespace

// A's values from position m (= max_lag) against B's from m - k (B leading)
// and m + k (B lagging), k = 0 .. m; a later candidate must be strictly
// larger in magnitude to win.
double LeadLagCrossCorrelation::best_correlation() {
  stats::copy_oldest_first(a_, a_flat_);
  stats::copy_oldest_first(b_, b_flat_);
  const std::size_t m = max_lag_;
  const std::span<const double> a = std::span<const double>(a_flat_).subspan(m, window_);
  const std::span<const double> b = b_flat_;
  const stats::CentredSums ca = stats::centred_sums(a);
  double best = correlation(a, ca, b.subspan(m, window_));
  for (std::size_t k = 1; k <= m; ++k) {
    const double leading = correlation(a, ca, b.subspan(m - k, window_));
    if (std::abs(leading) > std::abs(best)) best = leading;
    const double lagging = correlation(a, ca, b.subspan(m + k, window_));
    if (std::abs(lagging) > std::abs(best)) best = lagging;
  }
  return best;
}

Result<RelativeStrengthAB, IndicatorError> RelativeStrengthAB::create(std::uint64_t ma_period,
                                                                      std::uint64_t rsi_period) {
  FENDRO_TRY(ma, sma_window_new(ma_period));
  FENDRO_TRY(rsi, rsi_state_new(rsi_period));
  return RelativeStrengthAB(std::move(ma), rsi);
}

std::uint64_t RelativeStrengthAB::warmup_period() const {
  return std::max(ma_.period, rsi_.period + 1);
}

std::optional<double> RelativeStrengthAB::update(const BarSnapshot& bar) {
  const auto in = stats::two_series_input(bar);
  if (!in || in->b == 0.0) return no_value();
  const double ratio = in->a / in->b;
  // Both states always step; an overflowing ratio is refused by both.
  const auto ma = sma_update(ma_, ratio);
  const auto rsi = rsi_wilder_update(rsi_, ratio);
  // The RSI's answer first: tested the other way round, the mean's flag went
  // through memory around the RSI's step.
  if (!rsi || !ma) return no_value();
  return value_out(outputs_.set(ratio, *ma, *rsi));
}

}  // namespace fendro::pairs
