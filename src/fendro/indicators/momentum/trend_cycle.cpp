#include "fendro/indicators/momentum/trend_cycle.hpp"

#include <cmath>
#include <limits>

#include "fendro/indicators/common/returned.hpp"
#include "fendro/util/run_scope.hpp"
#include "fendro/indicators/windows/bar_close.hpp"
#include "fendro/util/saturating.hpp"

namespace fendro {
namespace {

// Where x sits between the extremes of the window, 0 to 100; 0 on a flat
// window. Scans from the infinities, so NaN entries never count. The caller
// notes the scan first (about a step a value; the window has no upper
// bound): a plain double comes back in one register, where an optional would
// go through the stack twice a bar.
double position_in(const BoundedRing<double>& window, double x) {
  double lo = std::numeric_limits<double>::infinity();
  double hi = -std::numeric_limits<double>::infinity();
  window.for_each([&](double v) {
    if (v < lo) lo = v;
    if (v > hi) hi = v;
  });
  return hi > lo ? ((x - lo) * 100.0) / (hi - lo) : 0.0;
}

// prev + factor * (x - prev), or x when there is no prev yet. A flat stretch
// puts the stochastic at 0, and the smoothed value decays into the subnormal
// numbers and settles there: its step is then skipped (settled_step).
double smooth(std::optional<double>& prev, SettledStep& settled, double factor, double x) {
  if (!prev) {
    prev = x;
    return x;
  }
  *prev = settled_step(settled, *prev, x,
                       [factor](double p, double in) { return p + factor * (in - p); });
  return *prev;
}

}  // namespace

Result<Tii, IndicatorError> Tii::create(std::uint64_t sma_period, std::uint64_t window) {
  if (sma_period == 0 || window == 0) return err(IndicatorError::zero_period());
  FENDRO_TRY(sma, sma_window_new(sma_period));
  return Tii(std::move(sma), window);
}

std::uint64_t Tii::warmup_period() const {
  return sat_sub(sat_add(sma_.period, deviations_.capacity()), 1);
}

std::optional<double> Tii::update(const BarSnapshot& bar) {
  const double c = bar_close(bar);
  const auto s = sma_update(sma_, c);
  if (std::isfinite(c)) closes_.push(c);
  if (!s) return no_value();
  const double dev = c - *s;
  if (const auto old = deviations_.push(dev)) {
    if (*old > 0.0) up_ = up_ - *old;
    if (*old < 0.0) down_ = down_ + *old;
  }
  if (dev > 0.0) up_ = up_ + dev;
  if (dev < 0.0) down_ = down_ + -dev;
  const double exact = closes_.holds_only_copies(sma_.period) ? 0.0 : dev;
  up_zeros_.push(exact > 0.0 ? exact : 0.0);
  down_zeros_.push(exact < 0.0 ? exact : 0.0);
  if (!deviations_.is_full()) return no_value();
  const std::uint64_t m = deviations_.capacity();
  const double up = up_zeros_.read(up_, m);
  const double total = up + down_zeros_.read(down_, m);
  if (total <= 0.0) return value_out(50.0);
  // No deviation below the average: every bit of the total is the upward
  // sum, whose share (up * 100) / up can round below 100.
  if (kReadsCopies && down_zeros_.holds_only_zeros(m)) return value_out(100.0);
  const double v = (up * 100.0) / total;
  if (v < 0.0) return value_out(0.0);
  if (v > 100.0) return value_out(100.0);
  return value_out(v);
}

Result<Stc, IndicatorError> Stc::create(std::uint64_t fast, std::uint64_t slow,
                                        std::uint64_t cycle, double factor) {
  if (fast == 0 || slow == 0 || cycle == 0) return err(IndicatorError::zero_period());
  if (fast >= slow) {
    return err(IndicatorError::invalid_period("STC fast period must be strictly less than slow"));
  }
  if (!(std::isfinite(factor) && factor > 0.0 && factor <= 1.0)) {
    return err(IndicatorError::invalid_period("STC factor must be a finite value in (0, 1]"));
  }
  if (slow > MAX_PERIOD) return err(IndicatorError::invalid_period(kMaxPeriodReason));
  return Stc(fast, slow, cycle, factor);
}

std::uint64_t Stc::warmup_period() const {
  return sat_sub(sat_add(slow_.period, sat_mul(2, macds_.capacity())), 2);
}

std::optional<double> Stc::update(const BarSnapshot& bar) {
  const double c = bar_close(bar);
  if (!std::isfinite(c)) return no_value();
  const auto f = ema_update(fast_, c);
  const auto s = ema_update(slow_, c);
  if (!f || !s) return no_value();
  const double macd = *f - *s;
  macds_.push(macd);
  // Each scan of a window is noted before it: told to stop, no value.
  if (!macds_.is_full() || stop_before(macds_.len())) return no_value();
  const double first = smooth(first_, first_settled_, factor_, position_in(macds_, macd));
  firsts_.push(first);
  if (!firsts_.is_full() || stop_before(firsts_.len())) return no_value();
  const double stc = smooth(stc_, stc_settled_, factor_, position_in(firsts_, first));
  if (stc < 0.0) return value_out(0.0);
  if (stc > 100.0) return value_out(100.0);
  return value_out(stc);
}

}  // namespace fendro
