#include "fendro/indicators/trend/swing_stops.hpp"

#include <algorithm>
#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {
Result<ZigZag, IndicatorError> ZigZag::create(double threshold) {
  if (!std::isfinite(threshold) || !(threshold > 0.0) || threshold >= 1.0) {
    return err(
        IndicatorError::invalid_period("ZigZag threshold must be a finite fraction in (0, 1)"));
  }
  return ZigZag(threshold);
}

std::optional<double> ZigZag::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  if (!started_) {
    direction_ = 1.0;
    extreme_ = c->high;
    started_ = true;
    return no_value();
  }
  const double swing = extreme_;
  if (direction_ > 0.0) {
    if (c->high > extreme_) {
      extreme_ = c->high;
      return no_value();
    }
    if (!(c->low <= extreme_ * (1.0 - t_))) return no_value();
    direction_ = -1.0;
    extreme_ = c->low;
    return value_out(out_.set(swing, 1.0));
  }
  if (c->low < extreme_) {
    extreme_ = c->low;
    return no_value();
  }
  if (!(c->high >= extreme_ * (t_ + 1.0))) return no_value();
  direction_ = 1.0;
  extreme_ = c->high;
  return value_out(out_.set(swing, -1.0));
}

HiLoActivator::HiLoActivator(std::uint64_t n) : highs_(n), lows_(n) {}

namespace {

// The averages' exact re-sum, from +0.0 so that a window of -0.0 entries
// averages to +0.0. Once every n pushes: kept out of the step's line.
[[gnu::cold, gnu::noinline]] void resum_from_zero(SmaWindow& w) {
  w.sum = ring_sum_from_zero(w.ring);
  w.pushes = 0;
  w.copies.forget();
}

// An average's step while its window fills (x finite); true once full.
[[gnu::cold, gnu::noinline]] bool fill_resumming_from_zero(SmaWindow& w, double x) {
  w.ring.push(x);
  w.sum = x + w.sum;
  if (++w.pushes >= w.period) resum_from_zero(w);
  return w.ring.is_full();
}

// One average's step (x finite): sum = x + (sum - oldest), rebuilt exactly
// every n pushes (not every 16n); x itself while the window holds only
// copies of x. Inlined into the bar's step, twice.
[[gnu::always_inline]] inline std::optional<double> average_step(SmaWindow& w, double x) {
  const bool repeat = w.ring.len() > 0 && x == w.ring.back();
  if (w.ring.is_full()) [[likely]] {
    const double evicted = w.ring.replace_oldest(x);
    w.sum = sma_slide(w.sum, x, evicted);
    if (++w.pushes >= w.period) [[unlikely]] resum_from_zero(w);
  } else if (!fill_resumming_from_zero(w, x)) {
    if (repeat) w.copies.after_repeat(w.ring, x, w.pushes, w.period);
    return std::nullopt;
  }
  const double m = w.sum / w.divisor;
  if (repeat) [[unlikely]] {
    if (w.copies.after_repeat(w.ring, x, w.pushes, w.period)) return copy_read(x);
  }
  return m;
}

}  // namespace

Result<HiLoActivator, IndicatorError> HiLoActivator::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return HiLoActivator(period);
}

std::optional<double> HiLoActivator::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const auto sma_high = average_step(highs_, c->high);
  const auto sma_low = average_step(lows_, c->low);
  if (!sma_high || !sma_low) return no_value();
  const Pair now{*sma_high, *sma_low};
  if (!prev_) {
    prev_ = now;
    return no_value();
  }
  const Pair p = *prev_;
  prev_ = now;
  if (c->close > p.high) {
    long_ = true;
  } else if (c->close < p.low) {
    long_ = false;
  }
  return value_out(long_ ? p.low : p.high);
}

Result<TimeBasedStop, IndicatorError> TimeBasedStop::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return TimeBasedStop(period);
}

std::optional<double> TimeBasedStop::update(const BarSnapshot& bar) {
  if (checked_candle(bar) == nullptr) return no_value();
  if (k_ < n_) ++k_;
  return value_out(std::min(static_cast<double>(k_) / static_cast<double>(n_), 1.0));
}

Result<PercentageTrailingStop, IndicatorError> PercentageTrailingStop::create(double percentage) {
  FENDRO_CHECK(check_multiplier(percentage));
  return PercentageTrailingStop(percentage);
}

std::optional<double> PercentageTrailingStop::update(const BarSnapshot& bar) {
  double close;
  if (!finite_close_to(bar, close)) return no_value();
  const double x = close;
  const double off = (std::abs(x) * p_) / 100.0;
  if (!stop_) {
    stop_ = x - off;
    return value_out(*stop_);
  }
  double& s = *stop_;
  if (long_) {
    if (x < s) {
      long_ = false;
      s = x + off;
    } else {
      s = std::max(s, x - off);
    }
  } else if (x > s) {
    long_ = true;
    s = x - off;
  } else {
    s = std::min(s, x + off);
  }
  return value_out(s);
}

Result<RenkoTrailingStop, IndicatorError> RenkoTrailingStop::create(double brick) {
  FENDRO_CHECK(check_multiplier(brick));
  return RenkoTrailingStop(brick);
}

std::optional<double> RenkoTrailingStop::update(const BarSnapshot& bar) {
  double close;
  if (!finite_close_to(bar, close)) return no_value();
  const double x = close;
  if (!base_) {
    base_ = x;
    return value_out(x - b_);
  }
  double& base = *base_;
  if (long_) {
    if (x < base - b_) {
      long_ = false;
      base = x;
    } else {
      const double k = std::floor((x - base) / b_);
      if (k >= 1.0) base = base + b_ * k;
      return value_out(base - b_);
    }
  } else {
    if (x > base + b_) {
      long_ = true;
      base = x;
    } else {
      const double k = std::floor((base - x) / b_);
      if (k >= 1.0) base = base - b_ * k;
      return value_out(base + b_);
    }
  }
  return value_out(long_ ? base - b_ : base + b_);
}

Result<StepTrailingStop, IndicatorError> StepTrailingStop::create(double step) {
  FENDRO_CHECK(check_multiplier(step));
  return StepTrailingStop(step);
}

std::optional<double> StepTrailingStop::update(const BarSnapshot& bar) {
  double close;
  if (!finite_close_to(bar, close)) return no_value();
  const double x = close;
  const double below = s_ * std::floor((x - s_) / s_);
  if (!stop_) {
    stop_ = below;
    return value_out(below);
  }
  double& stop = *stop_;
  if (long_) {
    if (x < stop) {
      long_ = false;
      stop = s_ * std::ceil((x + s_) / s_);
    } else {
      stop = std::max(stop, below);
    }
  } else if (x > stop) {
    long_ = true;
    stop = below;
  } else {
    stop = std::min(stop, s_ * std::ceil((x + s_) / s_));
  }
  return value_out(stop);
}

}  // namespace fendro
