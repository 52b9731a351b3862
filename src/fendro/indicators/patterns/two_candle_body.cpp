#include "fendro/indicators/patterns/two_candle_body.hpp"

#include <cmath>

namespace fendro::patterns {
namespace {

// Both candles are near-marubozu: bodies at least 0.95 of a positive range.
bool both_marubozu(const Candle& a, const Candle& b) {
  const double ra = range(a);
  const double rb = range(b);
  return ra > 0.0 && body(a) >= ra * 0.95 && rb > 0.0 && body(b) >= rb * 0.95;
}

}  // namespace

double EngulfingRule::operator()(const CandleSpan<2>& c) const {
  const Candle& a = c[0];
  const Candle& b = c[1];
  if (a.close - a.open == 0.0) return kNone;
  if (body(b) <= body(a)) return kNone;
  if (a.close < a.open && b.close > b.open && b.open <= a.close && b.close >= a.open) {
    return kBullish;
  }
  if (a.close > a.open && b.close < b.open && b.open >= a.close && b.close <= a.open) {
    return kBearish;
  }
  return kNone;
}

double HaramiRule::operator()(const CandleSpan<2>& c) const {
  const Candle& a = c[0];
  const Candle& b = c[1];
  if (b.close - b.open == 0.0) return kNone;
  if (a.close - a.open == 0.0) return kNone;
  if (body(b) >= body(a)) return kNone;
  if (a.close < a.open && b.close > b.open && b.open >= a.close && b.close <= a.open) {
    return kBullish;
  }
  if (a.close > a.open && b.close < b.open && b.open <= a.close && b.close >= a.open) {
    return kBearish;
  }
  return kNone;
}

double HaramiCrossRule::operator()(const CandleSpan<2>& c) const {
  const Candle& a = c[0];
  const Candle& b = c[1];
  const double bot1 = body_bottom(a);
  const double top1 = body_top(a);
  if (b.close < bot1 || b.open < bot1 || b.open > top1) return kNone;
  // Candle 1 must not be a doji; one without range skips the test.
  const double r1 = range(a);
  if (r1 > 0.0 && body(a) <= r1 * 0.1) return kNone;
  if (b.close > top1) return kNone;
  if (!is_doji(b)) return kNone;
  return a.close < a.open ? kBullish : kBearish;
}

double HomingPigeonRule::operator()(const CandleSpan<2>& c) const {
  const Candle& a = c[0];
  const Candle& b = c[1];
  if (a.close < a.open && b.close >= a.close && b.close < b.open && b.open <= a.open &&
      b.open - b.close < a.open - a.close) {
    return kBullish;
  }
  return kNone;
}

double DojiStarRule::operator()(const CandleSpan<2>& c) const {
  const Candle& a = c[0];
  const Candle& b = c[1];
  // A long candle 1 (body at least half its range), a doji candle 2.
  const double r1 = range(a);
  if (!is_doji(b) || r1 <= 0.0 || r1 * 0.5 > body(a)) return kNone;
  if (a.close - a.open < 0.0 && body_top(b) < a.close) return kBullish;
  if (a.close - a.open > 0.0 && body_bottom(b) > a.close) return kBearish;
  return kNone;
}

double KickingRule::operator()(const CandleSpan<2>& c) const {
  const Candle& a = c[0];
  const Candle& b = c[1];
  if (!both_marubozu(a, b)) return kNone;
  if (a.close > a.open && b.high < a.low && b.close < b.open) return kBearish;
  if (a.close < a.open && b.close > b.open && b.low > a.high) return kBullish;
  return kNone;
}

double KickingByLengthRule::operator()(const CandleSpan<2>& c) const {
  const Candle& a = c[0];
  const Candle& b = c[1];
  if (!both_marubozu(a, b)) return kNone;
  const bool longer_or_equal_first = body(b) <= body(a);
  if (b.close - b.open <= 0.0) {
    if (a.close - a.open <= 0.0) return kNone;
    if (b.close - b.open == 0.0) return kNone;
    if (b.high >= a.low) return kNone;
    return longer_or_equal_first ? kBullish : kBearish;
  }
  if (a.close - a.open >= 0.0) return kNone;
  if (b.low <= a.high) return kNone;
  return longer_or_equal_first ? kBearish : kBullish;
}

double CounterattackRule::operator()(const CandleSpan<2>& c) const {
  const Candle& a = c[0];
  const Candle& b = c[1];
  const double r1 = range(a);
  const double r2 = range(b);
  if (r2 * 0.5 > body(b) || r1 * 0.5 > body(a)) return kNone;
  if (std::abs(b.close - a.close) > (r2 + r1) * (tolerance * 0.5)) return kNone;
  if (b.close - b.open < 0.0 && a.close - a.open > 0.0) return kBearish;
  if (b.close - b.open > 0.0 && a.close - a.open < 0.0) return kBullish;
  return kNone;
}

}  // namespace fendro::patterns
