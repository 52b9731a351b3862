#include "fendro/indicators/patterns/gap_continuation.hpp"

#include <algorithm>
#include <cmath>

#include "fendro/indicators/patterns/candle_mirror.hpp"

namespace fendro::patterns {
namespace {

// Upside tasuki gap: two white candles with a gap between them, and a black
// third opening inside the second body and closing inside the gap.
bool upside_tasuki(const CandleSpan<3>& c) {
  const auto& [c1, c2, c3] = c;
  return c1.close > c1.open && c2.close > c2.open && c2.open > c1.close &&  //
         c3.close < c3.open && c2.open < c3.open && c3.open < c2.close &&   //
         c3.close < c2.open && c3.close > c1.close;
}

// Upside gap three methods: two white candles with an upward gap between the
// first close and the second open, and a black third opening inside the
// second body and closing inside the first.
bool upside_gap_three_methods(const CandleSpan<3>& c) {
  const auto& [c1, c2, c3] = c;
  if (c1.close >= c2.open || c1.close <= c1.open || c2.close <= c2.open ||
      c3.close >= c3.open) {
    return false;
  }
  if (c3.open >= c2.close || c3.close <= c1.open || c3.open <= c2.open) return false;
  return c3.close < c1.close;
}

// Three rising white candles, each opening inside the previous body, struck
// by a black fourth opening above the third close and closing below the
// first open.
bool bullish_line_strike(const CandleSpan<4>& c) {
  const auto& [c1, c2, c3, c4] = c;
  return c1.close > c1.open && c2.close > c2.open && c3.close > c3.open &&  //
         c1.close < c2.close && c2.close < c3.close &&                      //
         c1.open <= c2.open && c2.open <= c1.close &&                       //
         c2.open <= c3.open && c3.open <= c2.close &&                       //
         c4.open > c3.close && c4.close < c1.open && c4.close < c4.open;
}

// Rising three methods: a long white candle, three black bodies no larger
// than half of its body, inside its range, with falling closes, then a long
// white candle opening above the fourth close and closing above the first.
bool rising_three_methods(const CandleSpan<5>& c) {
  const Candle& c1 = c[0];
  const Candle& c5 = c[4];
  const double r1 = range(c1);
  if (r1 <= 0.0 || r1 * 0.5 > c1.close - c1.open) return false;
  for (std::size_t k = 1; k <= 3; ++k) {
    const Candle& m = c[k];
    if (body_top(m) <= c1.low || body_bottom(m) >= c1.high) return false;
    if (m.open - m.close <= 0.0) return false;
    if ((c1.close - c1.open) * 0.5 < m.open - m.close) return false;
  }
  if (c[1].close <= c[2].close || c[2].close <= c[3].close) return false;
  if (c5.close - c5.open <= 0.0 || range(c5) * 0.5 > c5.close - c5.open ||
      c5.close <= c1.close) {
    return false;
  }
  return c5.open > c[3].close;
}

}  // namespace

double TasukiGapRule::operator()(const CandleSpan<3>& c) const {
  return either_side(c, upside_tasuki);
}

double GapSideBySideWhiteRule::operator()(const CandleSpan<3>& c) const {
  const auto& [c1, c2, c3] = c;
  const double r2 = range(c2);
  if (r2 <= 0.0) return kNone;
  if (c2.close <= c2.open || c3.close <= c3.open) return kNone;
  if (std::abs(c3.open - c2.open) > r2 * 0.1) return kNone;
  // Bodies of like size: neither more than twice the other.
  const double b2 = c2.close - c2.open;
  const double b3 = c3.close - c3.open;
  if (b3 + b3 < b2 || b2 + b2 < b3) return kNone;
  if (body_top(c1) < body_bottom(c2)) return kBullish;
  return body_top(c2) < body_bottom(c1) ? kBearish : kNone;
}

double UpsideGapThreeMethodsRule::operator()(const CandleSpan<3>& c) const {
  return upside_gap_three_methods(c) ? kBullish : kNone;
}

double DownsideGapThreeMethodsRule::operator()(const CandleSpan<3>& c) const {
  return upside_gap_three_methods(mirrored(c)) ? kBearish : kNone;
}

double ThreeLineStrikeRule::operator()(const CandleSpan<4>& c) const {
  return either_side(c, bullish_line_strike);
}

double RisingThreeMethodsRule::operator()(const CandleSpan<5>& c) const {
  return rising_three_methods(c) ? kBullish : kNone;
}

double FallingThreeMethodsRule::operator()(const CandleSpan<5>& c) const {
  return rising_three_methods(mirrored(c)) ? kBearish : kNone;
}

double MatHoldRule::operator()(const CandleSpan<5>& c) const {
  const auto& [c1, c2, c3, c4, c5] = c;
  const double r1 = range(c1);
  if (r1 <= 0.0 || r1 * 0.5 > c1.close - c1.open) return kNone;
  const double half_body1 = (c1.close - c1.open) * 0.5;
  if (half_body1 < body(c2) || half_body1 < body(c3) || half_body1 < body(c4)) return kNone;
  if (body_bottom(c2) <= c1.close) return kNone;
  const double pause_low = std::min({c2.low, c3.low, c4.low});
  if (c1.close - (c1.close - c1.open) * pullback >= pause_low) return kNone;
  if (c5.close <= c5.open) return kNone;
  return c5.close > std::max({c1.high, c2.high, c3.high, c4.high}) ? kBullish : kNone;
}

}  // namespace fendro::patterns
