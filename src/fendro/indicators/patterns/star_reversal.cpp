#include "fendro/indicators/patterns/star_reversal.hpp"

#include <algorithm>
#include <cmath>

namespace fendro::patterns {

double MorningEveningStarRule::operator()(const CandleSpan<3>& c) const {
  const Candle& a = c[0];
  const Candle& s = c[1];
  const Candle& b = c[2];
  if (b.close - b.open == 0.0 || a.close - a.open == 0.0) return kNone;
  const double b1 = body(a);
  const double b2 = body(s);
  if (b2 + b2 > b1 || b2 + b2 > body(b)) return kNone;
  if (b.close > a.close + b1 * 0.3 && b.close > b.open && a.close < a.open &&
      body_top(s) < a.close) {
    return kBullish;
  }
  if (b.close < b.open && body_bottom(s) > a.close && a.close > a.open &&
      b.close < a.close - b1 * 0.3) {
    return kBearish;
  }
  return kNone;
}

double MorningDojiStarRule::operator()(const CandleSpan<3>& c) const {
  const Candle& a = c[0];
  const Candle& s = c[1];
  const Candle& b = c[2];
  const double r1 = range(a);
  if (r1 <= 0.0 || !is_doji(s)) return kNone;
  if (r1 * 0.5 > a.open - a.close) return kNone;
  if (body_top(s) >= body_bottom(b)) return kNone;
  if (b.close <= b.open || body_top(s) >= a.close) return kNone;
  return b.close > a.close + (a.open - a.close) * penetration ? kBullish : kNone;
}

double EveningDojiStarRule::operator()(const CandleSpan<3>& c) const {
  const Candle& a = c[0];
  const Candle& s = c[1];
  const Candle& b = c[2];
  const double r1 = range(a);
  if (r1 <= 0.0 || !is_doji(s)) return kNone;
  if (r1 * 0.5 > a.close - a.open) return kNone;
  if (body_top(b) >= body_bottom(s)) return kNone;
  if (b.close >= b.open || body_bottom(s) <= a.close) return kNone;
  return b.close < a.close - (a.close - a.open) * penetration ? kBearish : kNone;
}

double AbandonedBabyRule::operator()(const CandleSpan<3>& c) const {
  const Candle& a = c[0];
  const Candle& s = c[1];
  const Candle& b = c[2];
  if (!near_relative(s.close, s.open, tolerance)) return kNone;
  if (a.close > a.open && s.low > a.high && b.high < s.low && b.close < b.open) return kBearish;
  if (a.close < a.open && s.high < a.low && b.close > b.open && b.low > s.high) return kBullish;
  return kNone;
}

double TristarRule::operator()(const CandleSpan<3>& c) const {
  for (const Candle& k : c) {
    if (!is_doji(k)) return kNone;
  }
  const Candle& a = c[0];
  const Candle& s = c[1];
  const Candle& b = c[2];
  if (body_bottom(s) > body_top(a)) return body_top(b) < body_top(s) ? kBearish : kNone;
  return body_top(s) < body_bottom(a) && body_bottom(b) > body_bottom(s) ? kBullish : kNone;
}

double ThreeStarsInSouthRule::operator()(const CandleSpan<3>& c) const {
  const Candle& a = c[0];
  const Candle& s = c[1];
  const Candle& b = c[2];
  const double t = std::max(std::abs(b.high), std::abs(b.low)) * tolerance;
  const bool found = a.close < a.open && a.close - a.low >= a.open - a.close &&  //
                     s.low > a.low && s.close > a.close &&                       //
                     b.low > s.low && s.open <= a.open &&                        //
                     b.high - b.open <= t && b.close - b.low <= t &&             //
                     s.open > s.close && b.open > b.close &&                     //
                     a.open - a.close > s.open - s.close && s.high > b.high &&   //
                     s.open >= a.close;
  return found ? kBullish : kNone;
}

double TowerTopBottomRule::operator()(const CandleSpan<3>& c) const {
  const Candle& a = c[0];
  const Candle& s = c[1];
  const Candle& b = c[2];
  // A middle candle without range counts as small.
  const double r2 = range(s);
  if (r2 > 0.0 && body(s) / r2 > 0.3) return kNone;
  const double r1 = range(a);
  if (r1 <= 0.0 || body(a) / r1 < 0.5) return kNone;
  const double r3 = range(b);
  if (r3 <= 0.0 || body(b) / r3 < 0.5) return kNone;
  if (a.close <= a.open && b.close > b.open) return kBullish;
  if (a.close > a.open && b.close <= b.open) return kBearish;
  return kNone;
}

}  // namespace fendro::patterns
