#include "fendro/indicators/patterns/three_candle_run.hpp"

#include <cmath>

#include "fendro/indicators/patterns/candle_mirror.hpp"
#include "fendro/indicators/patterns/two_candle_body.hpp"

namespace fendro::patterns {
namespace {

// Three rising white candles, each opening inside the previous body (ends
// included).
bool three_white_soldiers(const CandleSpan<3>& c) {
  const auto& [c1, c2, c3] = c;
  return c1.close > c1.open && c2.close > c2.open && c3.close > c3.open &&  //
         c2.close > c1.close && c3.close > c2.close &&                      //
         c1.open <= c2.open && c2.open <= c1.close &&                       //
         c2.open <= c3.open && c3.open <= c2.close;
}

// The first two candles of a three-candle figure.
CandleSpan<2> first_two(const CandleSpan<3>& c) { return {c[0], c[1]}; }

}  // namespace

double ThreeSoldiersOrCrowsRule::operator()(const CandleSpan<3>& c) const {
  return either_side(c, three_white_soldiers);
}

double IdenticalThreeCrowsRule::operator()(const CandleSpan<3>& c) const {
  const auto& [c1, c2, c3] = c;
  if (c1.close >= c1.open || c2.close >= c2.open || c3.close >= c2.close ||
      c3.close >= c3.open || c2.close >= c1.close) {
    return kNone;
  }
  if (!near_relative(c2.open, c1.close, tolerance)) return kNone;
  return near_relative(c3.open, c2.close, tolerance) ? kBearish : kNone;
}

double AdvanceBlockRule::operator()(const CandleSpan<3>& c) const {
  const auto& [c1, c2, c3] = c;
  if (c1.close <= c1.open || c2.close <= c2.open || c3.close <= c3.open ||
      c2.close <= c1.close || c3.close <= c2.close) {
    return kNone;
  }
  if (c2.open < c1.open || c2.open > c1.close || c3.open < c2.open || c3.open > c2.close) {
    return kNone;
  }
  if (c2.close - c2.open >= c1.close - c1.open || c3.close - c3.open >= c2.close - c2.open) {
    return kNone;
  }
  if (c3.high - c3.close < c2.high - c2.close) return kNone;
  return c3.high - c3.close > 0.0 ? kBearish : kNone;
}

double StalledPatternRule::operator()(const CandleSpan<3>& c) const {
  const auto& [c1, c2, c3] = c;
  const double r1 = range(c1);
  const double r2 = range(c2);
  const double r3 = range(c3);
  if (r3 <= 0.0 || r1 <= 0.0 || r2 <= 0.0) return kNone;
  if (c1.close <= c1.open || c2.close <= c2.open || c3.close <= c3.open ||
      c1.close >= c2.close || c3.close <= c2.close) {
    return kNone;
  }
  if (r1 * 0.5 > c1.close - c1.open || r2 * 0.5 > c2.close - c2.open ||
      r3 * 0.3 < c3.close - c3.open) {
    return kNone;
  }
  return c3.open >= c2.close - r2 * 0.1 ? kBearish : kNone;
}

double ThreeInsideRule::operator()(const CandleSpan<3>& c) const {
  const Candle& c1 = c[0];
  const Candle& c3 = c[2];
  const double harami = HaramiRule{}(first_two(c));
  if (harami == kBearish && c3.close < c3.open && c3.close < c1.open) return kBearish;
  if (harami == kBullish && c3.close > c3.open && c3.close > c1.open) return kBullish;
  return kNone;
}

double ThreeOutsideRule::operator()(const CandleSpan<3>& c) const {
  const Candle& c2 = c[1];
  const Candle& c3 = c[2];
  const double engulfing = EngulfingRule{}(first_two(c));
  if (engulfing == kBearish && c3.close < c3.open && c3.close < c2.close) return kBearish;
  if (engulfing == kBullish && c3.close > c3.open && c3.close > c2.close) return kBullish;
  return kNone;
}

double TwoCrowsRule::operator()(const CandleSpan<3>& c) const {
  const auto& [c1, c2, c3] = c;
  if (c2.close <= c1.close || c1.close <= c1.open || c2.close >= c2.open) return kNone;
  // The third opens inside the second body.
  if (c3.open >= c2.open || c3.close >= c3.open || c3.open <= c2.close) return kNone;
  if (c3.close <= c1.open) return kNone;
  return c3.close < c1.close ? kBearish : kNone;
}

double UpsideGapTwoCrowsRule::operator()(const CandleSpan<3>& c) const {
  const auto& [c1, c2, c3] = c;
  if (c2.close <= c1.close || c1.close <= c1.open || c2.close >= c2.open) return kNone;
  if (c3.open <= c2.open || c3.close >= c2.close || c3.close >= c3.open) return kNone;
  return c3.close > c1.close ? kBearish : kNone;
}

double UniqueThreeRiverRule::operator()(const CandleSpan<3>& c) const {
  const auto& [c1, c2, c3] = c;
  if (c1.close >= c1.open || range(c1) * 0.5 > c1.open - c1.close) return kNone;
  if (c2.close >= c2.open || c2.open > c1.open || c2.close < c1.close || c2.low >= c1.low) {
    return kNone;
  }
  if (c3.close <= c3.open || range(c3) * 0.3 < c3.close - c3.open) return kNone;
  return c3.high <= c2.close ? kBullish : kNone;
}

double StickSandwichRule::operator()(const CandleSpan<3>& c) const {
  const auto& [c1, c2, c3] = c;
  if (c1.close >= c1.open || c2.close <= c2.open || c3.close >= c3.open) return kNone;
  if (c1.close >= c2.low) return kNone;
  return std::abs(c3.close - c1.close) <= range(c1) * 0.1 ? kBullish : kNone;
}

}  // namespace fendro::patterns
