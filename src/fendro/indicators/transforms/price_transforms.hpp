// One price per bar: four fixed blends of the candle's prices, and the
// midpoint of the extremes of a window (of closes, or of highs and lows).
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/common/rolling_extreme.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// ((high + low) + (close + close)) * 0.25.
inline double weighted_close(const Candle& c) {
  return ((c.high + c.low) + (c.close + c.close)) * 0.25;
}
// (high + low) * 0.5, without overflowing near the largest doubles.
inline double median_price(const Candle& c) { return midpoint(c.high, c.low); }
// (((open + high) + low) + close) * 0.25.
inline double avg_price(const Candle& c) { return (((c.open + c.high) + c.low) + c.close) * 0.25; }

using CandlePriceFn = double (*)(const Candle&);

// A price of the current candle only; a candle that fails the candle check
// gives no value.
template <CandlePriceFn Price>
class CandlePrice final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override {
    const Candle* c = checked_candle(bar);
    if (c == nullptr) return no_value();
    return value_out(Price(*c));
  }
  std::uint64_t warmup_period() const override { return 1; }
};

using WeightedClose = CandlePrice<weighted_close>;
using TypicalPrice = CandlePrice<typical_price>;  // divides by 3
using MedianPrice = CandlePrice<median_price>;
using AvgPrice = CandlePrice<avg_price>;

// What a bar adds to a window midpoint: its high and low, or false for a
// rejected bar.
using ExtremesFn = bool (*)(const BarSnapshot&, double& high, double& low);

// Only the close, which must be finite; nothing else of the candle is read.
inline bool close_extremes(const BarSnapshot& bar, double& high, double& low) {
  const std::optional<double> close = finite_close(bar);
  if (!close) return false;
  high = low = *close;
  return true;
}

// The high and low of a candle that passes the candle check.
inline bool candle_extremes(const BarSnapshot& bar, double& high, double& low) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return false;
  high = c->high;
  low = c->low;
  return true;
}

// The midpoint of the largest high and the smallest low of the last n
// accepted bars; no value until n bars have been accepted.
template <ExtremesFn Read>
class WindowMidpoint final : public Indicator {
 public:
  // 0 gives ZeroPeriod, then a period above MAX_PERIOD InvalidPeriod.
  static Result<WindowMidpoint, IndicatorError> create(std::uint64_t period) {
    FENDRO_CHECK(check_period(period));
    return WindowMidpoint(period);
  }

  std::optional<double> update(const BarSnapshot& bar) override {
    double high = 0.0;
    double low = 0.0;
    if (!Read(bar, high, low)) return no_value();
    highs_.push(high);
    lows_.push(low);
    if (highs_.count() < period_) return no_value();
    return value_out(midpoint(highs_.value(), lows_.value()));
  }
  std::uint64_t warmup_period() const override { return period_; }

 private:
  explicit WindowMidpoint(std::uint64_t n) : highs_(n), lows_(n), period_(n) {}

  vol::RollingMax highs_;
  vol::RollingMin lows_;
  std::uint64_t period_;
};

using MidPoint = WindowMidpoint<close_extremes>;  // of the closes
using MidPrice = WindowMidpoint<candle_extremes>;  // of the highs and lows

}  // namespace fendro
