#include "fendro/indicators/patterns/five_candle_inside_bar.hpp"

#include "fendro/indicators/patterns/candle_mirror.hpp"

namespace fendro::patterns {
namespace {

// A black first candle, a black second opening below the first close, lower
// highs and lower lows on candles 3 and 4, a black fourth, then a white fifth
// closing between the second open and the first close. The colour of
// candle 3 is not tested.
bool bullish_breakaway(const CandleSpan<5>& c) {
  const auto& [c1, c2, c3, c4, c5] = c;
  return c4.low < c3.low && c4.high < c3.high && c2.open < c1.close && c1.close < c1.open &&
         c2.close < c2.open && c3.high < c2.high && c3.low < c2.low && c4.close < c4.open &&
         c5.close < c1.close && c5.close > c2.open && c5.close > c5.open;
}

// A black candle with shadows of at most 0.05 of a positive range.
bool black_marubozu(const Candle& c) {
  const double r = range(c);
  if (r <= 0.0 || c.close >= c.open) return false;
  return c.high - c.open <= r * 0.05 && c.close - c.low <= r * 0.05;
}

// Candle 2 strictly inside candle 1, and candle 3 breaking below candle 2.
bool hikkake_down(const CandleSpan<3>& c) {
  const auto& [c1, c2, c3] = c;
  if (c2.high >= c1.high || c2.low <= c1.low) return false;
  return c3.high < c2.high && c3.low < c2.low;
}

// Candle 3 inside candle 2 inside candle 1, the second close in the lowest
// fifth of its range, and candle 4 breaking below candle 3.
bool hikkake_modified_down(const CandleSpan<4>& c) {
  const auto& [c1, c2, c3, c4] = c;
  if (c1.high <= c2.high || c1.low >= c2.low || c2.high <= c3.high || c2.low >= c3.low) {
    return false;
  }
  return c2.close <= c2.low + range(c2) * 0.2 && c4.high < c3.high && c4.low < c3.low;
}

}  // namespace

double BreakawayRule::operator()(const CandleSpan<5>& c) const {
  return either_side(c, bullish_breakaway);
}

double LadderBottomRule::operator()(const CandleSpan<5>& c) const {
  const auto& [c1, c2, c3, c4, c5] = c;
  if (c4.high <= c4.open || c4.close >= c4.open) return kNone;
  if (c2.close <= c3.close || c2.open <= c3.open || c1.close <= c2.close || c1.open <= c2.open) {
    return kNone;
  }
  if (c1.close >= c1.open || c2.close >= c2.open || c3.close >= c3.open) return kNone;
  if (c5.open <= c4.open || c5.close <= c5.open) return kNone;
  return c5.close > c4.high ? kBullish : kNone;
}

double ConcealingBabySwallowRule::operator()(const CandleSpan<4>& c) const {
  const auto& [c1, c2, c3, c4] = c;
  if (!black_marubozu(c1) || !black_marubozu(c2)) return kNone;
  // The third opens below the second close and reaches up into its body.
  if (c3.close >= c3.open || c2.close <= c3.open || c2.close >= c3.high) return kNone;
  if (c4.close >= c4.open || c4.close >= c3.low) return kNone;
  return c4.open > c3.high ? kBullish : kNone;
}

double HikkakeRule::operator()(const CandleSpan<3>& c) const {
  return either_side(c, hikkake_down);
}

double HikkakeModifiedRule::operator()(const CandleSpan<4>& c) const {
  return either_side(c, hikkake_modified_down);
}

}  // namespace fendro::patterns
