#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/util/run_scope.hpp"
#include "fendro/indicators/trend/atr_state.hpp"
#include "fendro/indicators/trend/trend_filters.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

Result<TtmTrend, IndicatorError> TtmTrend::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return TtmTrend(period);
}

std::optional<double> TtmTrend::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const auto average = sma_update(sma_, midpoint(c->high, c->low));
  if (!average) return no_value();
  return value_out(c->close > *average ? 1.0 : -1.0);
}

Result<Vortex, IndicatorError> Vortex::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return Vortex(period);
}

std::optional<double> Vortex::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  if (!prev_) {
    prev_ = *c;
    return no_value();
  }
  const Entry e{std::abs(c->high - prev_->low), std::abs(c->low - prev_->high),
                true_range(c->high, c->low, prev_->close)};
  prev_ = *c;
  if (ring_.is_full()) {
    const Entry& old = ring_.front();
    sum_plus_ = sum_plus_ - old.plus;
    sum_minus_ = sum_minus_ - old.minus;
    sum_tr_ = sum_tr_ - old.tr;
  }
  ring_.push(e);
  sum_plus_ = e.plus + sum_plus_;
  sum_minus_ = e.minus + sum_minus_;
  sum_tr_ = e.tr + sum_tr_;
  plus_zeros_.push(e.plus);
  minus_zeros_.push(e.minus);
  tr_zeros_.push(e.tr);
  if (!ring_.is_full()) return no_value();
  const std::uint64_t n = ring_.capacity();
  const double tr = tr_zeros_.read(sum_tr_, n);
  if (tr == 0.0) return value_out(out_.set(0.0, 0.0));
  return value_out(
      out_.set(plus_zeros_.read(sum_plus_, n) / tr, minus_zeros_.read(sum_minus_, n) / tr));
}

Result<Rwi, IndicatorError> Rwi::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min(period, 2, "RWI requires period >= 2"));
  return Rwi(period);
}

std::optional<double> Rwi::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const double range = candles_.empty()
                           ? c->high - c->low
                           : true_range(c->high, c->low, candles_.back().close);
  candles_.push({c->high, c->low, c->close});
  if (candles_.len() >= 2) ranges_.push(range);
  if (!candles_.is_full()) return no_value();
  // Span j compares the newest candle with the one j bars earlier, scaled by
  // the mean of the newest j true ranges, each mean summed oldest first.
  // Every suffix sum is its own chain of additions in that order; running
  // them side by side keeps each chain's rounding and lets them vectorise.
  const std::size_t n = candles_.len();
  const std::size_t m = ranges_.len();
  suffix_sums_.assign(m, 0.0);
  double* sums = suffix_sums_.data();
  std::size_t pos = 0;
  // A long window asks the command's interrupt as it goes: told to stop,
  // the bar gives no value at once.
  InBarPacer pacer;
  const auto add = [&](std::span<const double> run) {
    for (const double v : run) {
      for (std::size_t s = 0; s <= pos; ++s) sums[s] += v;
      ++pos;
      if (pacer.stop_after(pos)) return false;
    }
    return true;
  };
  if (!add(ranges_.older()) || !add(ranges_.newer())) return no_value();
  if (root_spans_.empty()) {
    root_spans_.resize(n);
    for (std::size_t j = 1; j < n; ++j) root_spans_[j] = std::sqrt(static_cast<double>(j + 1));
  }
  const Bar& now = candles_[n - 1];
  double high = 0.0;
  double low = 0.0;
  for (std::size_t j = 1; j < n; ++j) {
    const double mean = sums[m - j] / static_cast<double>(j);
    const double d = root_spans_[j] * mean;
    if (d == 0.0) continue;
    const Bar& then = candles_[n - 1 - j];
    const double h = (now.high - then.low) / d;
    const double l = (then.high - now.low) / d;
    if (h > high) high = h;
    if (l > low) low = l;
  }
  return value_out(out_.set(high, low));
}

}  // namespace fendro
