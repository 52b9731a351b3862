#include "fendro/indicators/momentum/rsi_family.hpp"

#include <algorithm>
#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/bar_close.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/indicators/windows/total_order.hpp"
#include "fendro/util/math.hpp"
#include "fendro/util/saturating.hpp"

namespace fendro {
namespace {

// 0.5 ln((1 + x) / (1 - x)) of the RSI mapped to [-1, 1] and held inside
// [-0.999, 0.999], so the value stays finite (about +-3.8).
double fisher_of_rsi(double r) {
  double x = (r - 50.0) / 50.0;
  if (x < -0.999) x = -0.999;
  if (x > 0.999) x = 0.999;
  return 0.5 * cr::log((1.0 + x) / (1.0 - x));
}

}  // namespace

Result<Rsi, IndicatorError> Rsi::create(std::uint64_t period) {
  FENDRO_TRY(s, rsi_state_new(period));
  return Rsi(s);
}

std::optional<double> Rsi::update(const BarSnapshot& bar) {
  double r;
  if (!rsi_wilder_update_to(rsi_, bar_close(bar), r)) return no_value();
  return value_out(r);
}

Result<FisherRsi, IndicatorError> FisherRsi::create(std::uint64_t period) {
  FENDRO_TRY(s, rsi_state_new(period));
  return FisherRsi(s);
}

std::optional<double> FisherRsi::update(const BarSnapshot& bar) {
  double r;
  if (!rsi_wilder_update_to(rsi_, bar_close(bar), r)) return no_value();
  return value_out(fisher_of_rsi(r));
}

Result<StochRsi, IndicatorError> StochRsi::create(std::uint64_t rsi_period,
                                                  std::uint64_t stoch_period) {
  if (rsi_period == 0 || stoch_period == 0) return err(IndicatorError::zero_period());
  FENDRO_TRY(s, rsi_state_new(rsi_period));
  return StochRsi(s, stoch_period);
}

std::uint64_t StochRsi::warmup_period() const { return sat_add(rsi_.period, k_); }

std::optional<double> StochRsi::update(const BarSnapshot& bar) {
  double r;
  if (!rsi_wilder_update_to(rsi_, bar_close(bar), r)) return no_value();
  hi_.push(r);
  lo_.push(r);
  if (hi_.count() < k_) return no_value();
  const double hi = hi_.value();
  const double lo = lo_.value();
  if (hi - lo == 0.0) return value_out(50.0);
  return value_out(((r - lo) * 100.0) / (hi - lo));
}

Result<DerivativeOscillator, IndicatorError> DerivativeOscillator::create(
    std::uint64_t rsi_period, std::uint64_t first_ema, std::uint64_t second_ema,
    std::uint64_t signal) {
  if (rsi_period == 0 || first_ema == 0 || second_ema == 0 || signal == 0) {
    return err(IndicatorError::zero_period());
  }
  FENDRO_TRY(s, rsi_state_new(rsi_period));
  FENDRO_CHECK(check_period(first_ema));
  FENDRO_CHECK(check_period(second_ema));
  FENDRO_CHECK(check_period(signal));
  return DerivativeOscillator(s, first_ema, second_ema, signal);
}

DerivativeOscillator::DerivativeOscillator(RsiState s, std::uint64_t e1, std::uint64_t e2,
                                           std::uint64_t sig)
    : rsi_(s),
      e1_(EmaState::of_period(e1)),
      e2_(EmaState::of_period(e2)),
      signal_(sig),
      // Every length is at most MAX_PERIOD here, so the sum cannot wrap.
      warmup_(s.period + e1 + e2 + sig - 2) {}

std::optional<double> DerivativeOscillator::update(const BarSnapshot& bar) {
  const auto r = rsi_wilder_update(rsi_, bar_close(bar));
  if (!r || !std::isfinite(*r)) return no_value();
  const auto e1 = ema_update(e1_, *r);
  if (!e1 || !std::isfinite(*e1)) return no_value();
  const auto e2 = ema_update(e2_, *e1);
  if (!e2 || !std::isfinite(*e2)) return no_value();
  const auto s = sma_update(signal_, *e2);
  if (!s) return no_value();
  return value_out(*e2 - *s);
}

Result<Qqe, IndicatorError> Qqe::create(std::uint64_t rsi_period, std::uint64_t smoothing,
                                        double factor) {
  if (rsi_period == 0 || smoothing == 0) return err(IndicatorError::zero_period());
  if (!std::isfinite(factor) || factor <= 0.0) {
    return err(IndicatorError::invalid_period("QQE factor must be a finite positive value"));
  }
  FENDRO_TRY(s, rsi_state_new(rsi_period));
  if (smoothing > MAX_PERIOD || 2 * rsi_period - 1 > MAX_PERIOD) {
    return err(IndicatorError::invalid_period(kMaxPeriodReason));
  }
  return Qqe(s, smoothing, factor);
}

Qqe::Qqe(RsiState s, std::uint64_t smoothing, double factor)
    : rsi_(s),
      smooth_(EmaState::of_period(smoothing)),
      band1_(EmaState::of_period(2 * s.period - 1)),
      band2_(EmaState::of_period(2 * s.period - 1)),
      factor_(factor) {}

std::uint64_t Qqe::warmup_period() const {
  // rsi period <= 2^23 and smoothing <= 2^24: no wrap.
  return rsi_.period + smooth_.period + 2 * band1_.period - 1;
}

std::optional<double> Qqe::update(const BarSnapshot& bar) {
  const auto r = rsi_wilder_update(rsi_, bar_close(bar));
  if (!r || !std::isfinite(*r)) return no_value();
  const auto ma = ema_update(smooth_, *r);
  if (!ma) return no_value();
  const double m = *ma;
  if (!prev_ma_) {
    prev_ma_ = m;
    return no_value();
  }
  const double p = *prev_ma_;
  prev_ma_ = m;
  if (!std::isfinite(m - p)) return no_value();
  // One test for the band's averages, on the second, which settles after
  // the first: settled below normal (or seeding), they take the settled path
  // out of line.
  if (below_normal(band2_.value)) [[unlikely]] {
    return settled_path([](Qqe* q, double ma, double prev) { return q->bands<true>(ma, prev); },
                        this, m, p);
  }
  return bands<false>(m, p);
}

template <bool Kept>
std::optional<double> Qqe::bands(double m, double p) {
  const auto a1 = ema_update_as<Kept>(band1_, std::abs(m - p));
  if (!a1 || !std::isfinite(*a1)) return no_value();
  const auto a2 = ema_update_as<Kept>(band2_, *a1);
  if (!a2) return no_value();
  const auto times = [](double a, double b) { return a * b; };
  const double width = Kept ? kept_apply(width_kept_, times, *a2, factor_) : times(*a2, factor_);
  double lower = m - width;
  double upper = m + width;
  double trailing;
  if (!have_bands_) {
    have_bands_ = true;
    trend_ = 1;
    trailing = lower;
  } else {
    const double pl = lower_;
    const double pu = upper_;
    if (m > pl && p > pl) lower = std::max(pl, lower);
    if (m < pu && p < pu) upper = std::min(pu, upper);
    if (p <= pu && m > pu) {
      trend_ = 1;
      trailing = lower;
    } else if (p >= pl && m < pl) {
      trend_ = -1;
      trailing = upper;
    } else {
      trailing = trend_ == 1 ? lower : upper;
    }
  }
  lower_ = lower;
  upper_ = upper;
  return value_out(out_.set(m, trailing));
}

Result<ConnorsRsi, IndicatorError> ConnorsRsi::create(std::uint64_t rsi_period,
                                                      std::uint64_t streak_period,
                                                      std::uint64_t rank_period) {
  if (rsi_period == 0 || streak_period == 0 || rank_period == 0) {
    return err(IndicatorError::zero_period());
  }
  FENDRO_TRY(price, rsi_state_new(rsi_period));
  FENDRO_TRY(streak, rsi_state_new(streak_period));
  return ConnorsRsi(price, streak, rank_period);
}

std::uint64_t ConnorsRsi::warmup_period() const {
  return std::max({price_.period + 1, streak_rsi_.period + 2, sat_add(returns_.period(), 1)});
}

std::optional<double> ConnorsRsi::update(const BarSnapshot& bar) {
  double close;
  if (!finite_close_to(bar, close)) return no_value();
  const double c = close;
  const auto pr = rsi_wilder_update(price_, c);
  if (!prev_close_) {
    prev_close_ = c;
    return no_value();
  }
  const double q = *prev_close_;
  if (c > q) {
    streak_ = std::max(streak_, 0.0) + 1.0;
  } else if (c < q) {
    streak_ = std::min(streak_, 0.0) - 1.0;
  } else {
    streak_ = 0.0;
  }
  const auto sr = rsi_wilder_update(streak_rsi_, streak_);
  // A zero previous close has no return; the rank then reuses the newest one.
  const bool stop = q != 0.0 && returns_.stop_after_push((c - q) / q);
  prev_close_ = c;
  if (stop) return no_value();
  if (!returns_.is_full()) return no_value();
  // Returns are never NaN, so the ascending list splits at the first entry
  // not below the newest (and -0.0 does not count as below +0.0).
  const double newest = returns_.ring().back();
  const std::size_t below = lower_bound_plain(returns_.sorted(), newest);
  const double rank =
      (static_cast<double>(below) * 100.0) / static_cast<double>(returns_.period());
  if (!pr || !sr) return no_value();
  return value_out(((*pr + *sr) + rank) / 3.0);
}

}  // namespace fendro
