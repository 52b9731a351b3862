#include "fendro/indicators/chart/window_patterns.hpp"

#include "fendro/indicators/common/centre_pivot.hpp"
#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/util/run_scope.hpp"
#include "fendro/indicators/common/window_extremes.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/util/saturating.hpp"

namespace fendro::chart {
namespace {

// Position (from the oldest) of the first occurrence of the window's extreme.
template <class Better>
std::uint64_t first_extreme_position(const BoundedRing<double>& w, Better better) {
  double best = w.front();
  std::uint64_t at = 0;
  std::uint64_t k = 0;
  w.for_each([&](double v) {
    if (better(v, best)) {
      best = v;
      at = k;
    }
    ++k;
  });
  return at;
}

}  // namespace

template <bool kTop>
Result<RoundedTurn<kTop>, IndicatorError> RoundedTurn<kTop>::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min_first(
      period, 5, kTop ? "dumpling top needs period >= 5" : "frying pan bottom needs period >= 5"));
  return RoundedTurn(period);
}

// Value once the window is full: the newest close beyond the oldest and the
// extreme, the extreme's first position outside the first and last quarter.
template <bool kTop>
std::optional<double> RoundedTurn<kTop>::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  closes_.push(c->close);
  // The first extreme's position: about a step a close.
  if (!closes_.is_full() || stop_before(closes_.len())) return no_value();
  const auto better = [](double a, double b) { return kTop ? a > b : a < b; };
  const std::uint64_t n = closes_.capacity();
  const std::uint64_t k = first_extreme_position(closes_, better);
  const double extreme = closes_[static_cast<std::size_t>(k)];
  const std::uint64_t q = n / 4;
  const double close = c->close;
  const bool turned = better(closes_.front(), close) && better(extreme, close);
  if (turned && q <= k && k < n - q) return value_out(kTop ? -1.0 : 1.0);
  return value_out(0.0);
}

template class RoundedTurn<true>;
template class RoundedTurn<false>;

Result<NewPriceLines, IndicatorError> NewPriceLines::create(std::uint64_t count) {
  FENDRO_CHECK(check_period_min_first(count, 2, "new price lines count must be >= 2"));
  return NewPriceLines(count);
}

// A run of higher closes reads as exhausted buying (-1), of lower closes as
// exhausted selling (+1).
std::optional<double> NewPriceLines::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const std::optional<double> prev = prev_close_;
  prev_close_ = c->close;
  if (!prev) return no_value();
  ups_ = c->close > *prev ? ups_ + 1 : 0;
  downs_ = c->close < *prev ? downs_ + 1 : 0;
  if (ups_ >= count_) return value_out(-1.0);
  return value_out(downs_ >= count_ ? 1.0 : 0.0);
}

PivotReversal::PivotReversal(std::uint64_t left, std::uint64_t right)
    : window_(sat_add(sat_add(left, right), 1)), left_(left) {}

Result<PivotReversal, IndicatorError> PivotReversal::create(std::uint64_t left,
                                                            std::uint64_t right) {
  if (left == 0 || right == 0) return err(IndicatorError::zero_period());
  return PivotReversal(left, right);
}

std::optional<double> PivotReversal::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  window_.push(*c);
  const std::optional<double> p = prev_close_;
  prev_close_ = c->close;
  if (!window_.is_full()) return no_value();
  const std::size_t centre = static_cast<std::size_t>(left_);
  const CentrePivot pivot = centre_pivot(window_, centre);
  if (pivot.high) pivot_high_ = window_[centre].high;
  if (pivot.low) pivot_low_ = window_[centre].low;
  if (!p) return value_out(0.0);
  const double close = c->close;
  if (pivot_low_ && close < *pivot_low_ && !(*p < *pivot_low_)) return value_out(-1.0);
  if (pivot_high_ && close > *pivot_high_ && !(*p > *pivot_high_)) return value_out(1.0);
  return value_out(0.0);
}

Result<ThreeLineBreak, IndicatorError> ThreeLineBreak::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return ThreeLineBreak(period);
}

// A close beyond the last line continues the direction; one beyond every
// stored line the other way reverses it.
std::optional<double> ThreeLineBreak::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const double close = c->close;
  if (lines_.empty()) {
    lines_.push(close);
    return no_value();
  }
  const double last = lines_.back();
  // A close that does not continue the direction is held against every
  // stored line: a step for about two lines.
  const bool continues = direction_ >= 0 ? close > last : close < last;
  if (!continues && stop_before(lines_.len() / 2)) return no_value();
  int drawn = 0;
  if (direction_ >= 0) {
    if (close > last) {
      drawn = 1;
    } else if (close < trend::lowest(lines_)) {
      drawn = -1;
    }
  } else if (close < last) {
    drawn = -1;
  } else if (close > trend::highest(lines_)) {
    drawn = 1;
  }
  if (drawn != 0) {
    lines_.push(close);
    direction_ = drawn;
  }
  if (direction_ == 0) return no_value();
  return value_out(static_cast<double>(direction_));
}

}  // namespace fendro::chart
