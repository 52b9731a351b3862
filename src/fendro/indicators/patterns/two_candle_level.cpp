#include "fendro/indicators/patterns/two_candle_level.hpp"

#include <cmath>

namespace fendro::patterns {
namespace {

// The neck patterns start from a long bearish candle 1: a positive range, a
// falling body of at least half of it.
bool long_bearish(const Candle& a) {
  const double r1 = range(a);
  if (r1 <= 0.0) return false;
  if (a.close >= a.open) return false;
  return a.open - a.close >= r1 * 0.5;
}

// The level a tenth of the way from candle 1's close up into its body.
double tenth_into_body(const Candle& a) { return a.close + (a.open - a.close) * 0.1; }

}  // namespace

double PiercingDarkCloudRule::operator()(const CandleSpan<2>& c) const {
  const Candle& a = c[0];
  const Candle& b = c[1];
  const double m1 = body_midpoint(a);
  if (b.open < a.low && b.close > b.open && a.close < a.open && b.close < a.open &&
      b.close > m1) {
    return kBullish;
  }
  if (b.open > a.high && b.close < b.open && a.close > a.open && b.close < m1 &&
      b.close > a.open) {
    return kBearish;
  }
  return kNone;
}

double InNeckRule::operator()(const CandleSpan<2>& c) const {
  const Candle& a = c[0];
  const Candle& b = c[1];
  if (!long_bearish(a)) return kNone;
  if (b.close < a.close || b.close <= b.open || b.open >= a.low) return kNone;
  return b.close <= tenth_into_body(a) ? kBearish : kNone;
}

double OnNeckRule::operator()(const CandleSpan<2>& c) const {
  const Candle& a = c[0];
  const Candle& b = c[1];
  if (!long_bearish(a)) return kNone;
  if (b.close <= b.open || b.open >= a.low) return kNone;
  return std::abs(b.close - a.low) <= range(a) * 0.05 ? kBearish : kNone;
}

double ThrustingRule::operator()(const CandleSpan<2>& c) const {
  const Candle& a = c[0];
  const Candle& b = c[1];
  if (!long_bearish(a)) return kNone;
  if (b.close <= b.open || b.open >= a.low || b.close >= body_midpoint(a)) return kNone;
  return b.close > tenth_into_body(a) ? kBearish : kNone;
}

double SeparatingLinesRule::operator()(const CandleSpan<2>& c) const {
  const Candle& a = c[0];
  const Candle& b = c[1];
  const double r1 = range(a);
  const double r2 = range(b);
  if (r2 <= 0.0 || r1 <= 0.0) return kNone;
  if (std::abs(b.open - a.open) > r1 * 0.05) return kNone;
  if (r2 * 0.5 > body(b)) return kNone;
  if (b.open - b.low <= r2 * 0.05 && b.close - b.open > 0.0 && a.close < a.open) {
    return kBullish;
  }
  if (a.close > a.open && b.close - b.open < 0.0 && b.high - b.open <= r2 * 0.05) {
    return kBearish;
  }
  return kNone;
}

double MatchingLowRule::operator()(const CandleSpan<2>& c) const {
  const Candle& a = c[0];
  const Candle& b = c[1];
  if (a.close >= a.open || b.close >= b.open) return kNone;
  return std::abs(b.close - a.close) <= mean_range(b, a) * 0.05 ? kBullish : kNone;
}

double TweezerRule::operator()(const CandleSpan<2>& c) const {
  const Candle& a = c[0];
  const Candle& b = c[1];
  if (near_relative(b.low, a.low, tolerance)) return kBullish;
  if (near_relative(b.high, a.high, tolerance)) return kBearish;
  return kNone;
}

}  // namespace fendro::patterns
