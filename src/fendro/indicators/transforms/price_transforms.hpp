// One price per bar: four fixed blends of the candle's prices, and the
// midpoint of the extremes of a window (of closes, or of highs and lows).
#pragma once

#include <cstdint>
#include <optional>
#include <utility>

#include "fendro/indicators/common/candle_range.hpp"
#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/ring_windows.hpp"
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

// The midpoint of the largest and the smallest of the last n finite closes
// (nothing else of the candle is read); no value until n closes have been
// accepted.
class MidPoint final : public Indicator {
 public:
  // 0 gives ZeroPeriod, then a period above MAX_PERIOD InvalidPeriod.
  static Result<MidPoint, IndicatorError> create(std::uint64_t period) {
    FENDRO_TRY(closes, ring_window_new(period));
    return MidPoint(std::move(closes));
  }

  std::optional<double> update(const BarSnapshot& bar) override {
    double close;
    if (!finite_close_to(bar, close)) return no_value();
    const double c = close;
    if (!range_.push(closes_.ring, c, c, c)) return no_value();
    return value_out(midpoint(range_.highest(), range_.lowest()));
  }
  std::uint64_t warmup_period() const override { return closes_.period; }

 private:
  explicit MidPoint(RingWindow closes) : closes_(std::move(closes)), range_(closes_.period) {}

  RingWindow closes_;
  HighLowExtremes<false> range_;  // of the closes in the ring
};

// The midpoint of the highest high and the lowest low of the last n candles
// that pass the candle check; no value until n candles have been accepted.
class MidPrice final : public Indicator {
 public:
  // 0 gives ZeroPeriod, then a period above MAX_PERIOD InvalidPeriod.
  static Result<MidPrice, IndicatorError> create(std::uint64_t period) {
    FENDRO_TRY(range, NewestCandleRange::create(period));
    return MidPrice(std::move(range));
  }

  std::optional<double> update(const BarSnapshot& bar) override {
    const Candle* c = checked_candle(bar);
    if (c == nullptr || !range_.push(*c)) return no_value();
    return value_out(midpoint(range_.highest(), range_.lowest()));
  }
  std::uint64_t warmup_period() const override { return range_.period(); }

 private:
  explicit MidPrice(NewestCandleRange range) : range_(std::move(range)) {}

  NewestCandleRange range_;
};

}  // namespace fendro
