#include "fendro/indicators/volatility/return_volatility.hpp"

#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/common/variance_values.hpp"
#include "fendro/indicators/windows/bar_close.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/util/math.hpp"

namespace fendro {
using namespace vol;
namespace {

// The bar's log return r = ln(close / previous close). A close that is not
// finite and above zero is refused and changes nothing; the first accepted
// one only becomes the previous close.
std::optional<double> bar_log_return(std::optional<double>& prev, const BarSnapshot& bar) {
  const double close = bar_close(bar);
  if (!positive_finite(close)) return std::nullopt;
  if (!prev) {
    prev = close;
    return std::nullopt;
  }
  const double r = cr::log(close / *prev);
  prev = close;
  return r;
}

constexpr double kHalfPi = 1.5707963267948966;

}  // namespace

// ---- BipowerVariation ----

Result<BipowerVariation, IndicatorError> BipowerVariation::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min(period, 2, "bipower variation period must be >= 2"));
  return BipowerVariation(period);
}

void BipowerVariation::resum() {
  double s = -0.0;
  for (std::size_t i = 0; i + 1 < returns_.len(); ++i) {
    s = s + std::abs(returns_[i] * returns_[i + 1]);
  }
  sum_ = s;
  updates_ = 0;
  zeros_.forget();
}

std::optional<double> BipowerVariation::update(const BarSnapshot& bar) {
  const auto r = bar_log_return(prev_, bar);
  if (!r) return no_value();
  if (!returns_.empty()) {
    sum_ = sum_ + std::abs(*r * returns_.back());
    ++updates_;
  }
  if (returns_.is_full()) {
    // The oldest return leaves with its pair; the exact re-sum is only tried
    // on a step that removes one.
    const double oldest = returns_.replace_oldest(*r);
    sum_ = sum_ - std::abs(oldest * returns_.front());
    if (updates_ >= n_) resum();
  } else {
    returns_.push(*r);
  }
  if (!returns_.is_full()) return no_value();
  // The sum's terms are the products of the n - 1 adjacent pairs: once the
  // newest n - 1 returns are 0, every pair holds one and the sum is 0, which
  // the running sum misses until it is next rebuilt. Only a zero return can
  // make it so.
  double sum = sum_;
  if (*r == 0.0) [[unlikely]] {
    if (zeros_.after_repeat(returns_, 0.0, updates_, n_ - 1)) sum = 0.0;
  }
  return value_out(clamp_variance(sum) * kHalfPi);
}

// ---- EwmaVolatility ----

Result<EwmaVolatility, IndicatorError> EwmaVolatility::create(double lambda) {
  if (!(lambda > 0.0 && lambda < 1.0)) {
    return err(IndicatorError::invalid_parameter(
        "EWMA volatility lambda must be in the open interval (0, 1)"));
  }
  return EwmaVolatility(lambda);
}

std::optional<double> EwmaVolatility::update(const BarSnapshot& bar) {
  const auto r = bar_log_return(prev_, bar);
  if (!r) return no_value();
  const double x = *r;
  if (variance_) [[likely]] {
    // One test an update, on the variance before its step: settled below
    // normal, the step and the root take the settled path out of line.
    if (below_normal(*variance_)) [[unlikely]] {
      return settled_path([](EwmaVolatility* e, double ret) { return e->kept(ret); }, this, x);
    }
    variance_ = step(*variance_, x);
  } else {
    variance_ = x * x;
  }
  return value_out(std::sqrt(clamp_variance(*variance_)));
}

std::optional<double> EwmaVolatility::kept(double r) {
  const auto weigh = [this](double variance, double x) { return step(variance, x); };
  variance_ = kept_step(settled_, *variance_, r, weigh);
  const auto root = [](double variance) { return std::sqrt(clamp_variance(variance)); };
  return value_out(kept_apply(root_kept_, root, *variance_));
}

// ---- Garch11 ----

Result<Garch11, IndicatorError> Garch11::create(double omega, double alpha, double beta) {
  if (!std::isfinite(omega) || !std::isfinite(alpha) || !std::isfinite(beta)) {
    return err(IndicatorError::invalid_parameter("GARCH(1,1) parameters must be finite"));
  }
  if (!(omega > 0.0)) {
    return err(IndicatorError::invalid_parameter("GARCH(1,1) omega must be > 0"));
  }
  if (alpha < 0.0 || beta < 0.0) {
    return err(IndicatorError::invalid_parameter("GARCH(1,1) alpha and beta must be >= 0"));
  }
  if (alpha + beta >= 1.0) {
    return err(IndicatorError::invalid_parameter(
        "GARCH(1,1) requires alpha + beta < 1 (covariance stationarity)"));
  }
  return Garch11(omega, alpha, beta);
}

std::optional<double> Garch11::update(const BarSnapshot& bar) {
  const auto r = bar_log_return(prev_, bar);
  if (!r) return no_value();
  variance_ = variance_ ? (omega_ + alpha_ * prev_square_) + beta_ * *variance_ : long_run_;
  prev_square_ = *r * *r;
  return value_out(std::sqrt(*variance_));
}

// ---- HistoricalVolatility ----

Result<HistoricalVolatility, IndicatorError> HistoricalVolatility::create(
    std::uint64_t period, std::uint64_t annualisation) {
  if (period == 0 || annualisation == 0) return err(IndicatorError::zero_period());
  FENDRO_CHECK(check_period_min_first(period, 2, "historical volatility period must be >= 2"));
  return HistoricalVolatility(period, annualisation);
}

std::optional<double> HistoricalVolatility::update(const BarSnapshot& bar) {
  const auto r = bar_log_return(prev_, bar);
  if (!r) return no_value();
  window_.push(*r);
  if (!window_.is_full()) return no_value();
  return value_out((sample_stddev(window_) * std::sqrt(static_cast<double>(annualisation_))) *
                   100.0);
}

// ---- JumpIndicator ----

Result<JumpIndicator, IndicatorError> JumpIndicator::create(std::uint64_t period,
                                                            double threshold) {
  FENDRO_CHECK(check_period_min_first(period, 2, "jump indicator needs period >= 2"));
  if (!(std::isfinite(threshold) && threshold > 0.0)) {
    return err(IndicatorError::invalid_parameter(
        "jump indicator threshold must be finite and positive"));
  }
  return JumpIndicator(period, threshold);
}

JumpIndicator::JumpIndicator(std::uint64_t n, double k) : window_(n), k_(k) {
  // No re-anchoring is tried while the window fills: the first one comes
  // with the push after the n-th, then every n pushes. The push counter
  // starts one below zero (it wraps to 0 on the first push) to shift the
  // window's every-n-pushes cadence by that one push.
  window_.pushes = kU64Max;
}

std::optional<double> JumpIndicator::update(const BarSnapshot& bar) {
  const auto r = bar_log_return(prev_, bar);
  if (!r) return no_value();
  if (!window_.is_full()) {
    window_.push(*r);
    return no_value();
  }
  // The return is judged against the window before it enters it.
  double signal = 0.0;
  const double var = clamp_variance(sample_variance_raw(window_));
  if (var != 0.0) {
    const double sd = std::sqrt(var);
    const double dev = *r - window_mean(window_);
    if (dev > sd * k_) {
      signal = 1.0;
    } else if (dev < -(k_ * sd)) {
      signal = -1.0;
    }
  }
  window_.push(*r);
  return value_out(signal);
}

// ---- RealizedVolatility ----

Result<RealizedVolatility, IndicatorError> RealizedVolatility::create(std::uint64_t period) {
  FENDRO_TRY(squares, anchored_ring_window_new(period));
  return RealizedVolatility(std::move(squares));
}

std::optional<double> RealizedVolatility::update(const BarSnapshot& bar) {
  AnchoredRingWindow& w = squares_;
  const auto r = bar_log_return(w.prev, bar);
  if (!r) return no_value();
  // The squares are kept as terms: the same products leave the sum and
  // enter its rebuilds as entered it.
  const double square = *r * *r;
  push_resumming(w.ring, w.acc, w.pushes, square, [this] { zeros_.forget(); });
  if (!w.ring.is_full()) return no_value();
  // A window of zero squares sums to 0, which the running sum misses until
  // it is next rebuilt; only a zero square can complete one.
  double sum = w.acc;
  if (square == 0.0) [[unlikely]] {
    if (zeros_.after_repeat(w.ring, 0.0, w.pushes, w.period)) sum = 0.0;
  }
  return value_out(std::sqrt(clamp_variance(sum)));
}

// ---- VolatilityOfVolatility ----

Result<VolatilityOfVolatility, IndicatorError> VolatilityOfVolatility::create(
    std::uint64_t returns_window, std::uint64_t vols_window) {
  if (returns_window == 0 || vols_window == 0) return err(IndicatorError::zero_period());
  if (returns_window < 2 || vols_window < 2) {
    return err(IndicatorError::invalid_period("vol-of-vol windows must both be >= 2"));
  }
  // No upper bound: the windows grow with the bars actually seen.
  return VolatilityOfVolatility(returns_window, vols_window);
}

std::optional<double> VolatilityOfVolatility::update(const BarSnapshot& bar) {
  const auto r = bar_log_return(prev_, bar);
  if (!r) return no_value();
  returns_.push(*r);
  if (!returns_.is_full()) return no_value();
  vols_.push(sample_stddev(returns_));
  if (!vols_.is_full()) return no_value();
  return value_out(sample_stddev(vols_));
}

}  // namespace fendro
