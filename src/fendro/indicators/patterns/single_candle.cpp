#include "fendro/indicators/patterns/single_candle.hpp"

namespace fendro::patterns {
namespace {

// The shapes of one candle share one frame: a candle without range shows no
// shape; the rest is the shape's own test.
bool flat(const Candle& c) { return range(c) == 0.0; }

// Hammer family: one shadow at least twice the body, the other at most the
// body; a candle without a body is none of them.
bool long_lower_shadow(const Candle& c) {
  const double b = body(c);
  return c.close != c.open && lower_shadow(c) >= b + b && upper_shadow(c) <= b;
}
bool long_upper_shadow(const Candle& c) {
  const double b = body(c);
  return c.close != c.open && upper_shadow(c) >= b + b && lower_shadow(c) <= b;
}

}  // namespace

double ShadowRatioRule::operator()(const Candle& c) const {
  const double r = range(c);
  if (r == 0.0) return 0.0;
  return (upper_shadow(c) - lower_shadow(c)) / r;
}

double CloseVsOpenRule::operator()(const Candle& c) const {
  if (c.open == 0.0) return 0.0;
  return (c.close - c.open) / c.open;
}

double BodySizePctRule::operator()(const Candle& c) const {
  const double r = range(c);
  if (r == 0.0) return 0.0;
  return body(c) / r;
}

double DojiRule::operator()(const Candle& c) const {
  if (flat(c)) return kNone;
  return body(c) <= range(c) * body_threshold ? kBullish : kNone;
}

double DragonflyDojiRule::operator()(const Candle& c) const {
  if (!is_doji(c)) return kNone;
  const double r = range(c);
  return lower_shadow(c) >= r * 0.5 && upper_shadow(c) <= r * 0.1 ? kBullish : kNone;
}

double GravestoneDojiRule::operator()(const Candle& c) const {
  if (!is_doji(c)) return kNone;
  const double r = range(c);
  return upper_shadow(c) >= r * 0.5 && lower_shadow(c) <= r * 0.1 ? kBearish : kNone;
}

double LongLeggedDojiRule::operator()(const Candle& c) const {
  if (!is_doji(c)) return kNone;
  const double r = range(c);
  return lower_shadow(c) >= r * 0.3 && upper_shadow(c) >= r * 0.3 ? kBullish : kNone;
}

double RickshawManRule::operator()(const Candle& c) const {
  if (!is_doji(c)) return kNone;
  const double r = range(c);
  if (upper_shadow(c) < r * 0.3 || lower_shadow(c) < r * 0.3) return kNone;
  const double pos = body_position(c);
  return pos >= 0.4 && pos <= 0.6 ? kBullish : kNone;
}

double HighWaveRule::operator()(const Candle& c) const {
  if (flat(c)) return kNone;
  const double r = range(c);
  return lower_shadow(c) >= r * 0.4 && upper_shadow(c) >= r * 0.4 ? kBullish : kNone;
}

double TakuriRule::operator()(const Candle& c) const {
  if (!is_doji(c)) return kNone;
  const double r = range(c);
  return lower_shadow(c) >= r * 0.7 && upper_shadow(c) <= r * 0.05 ? kBullish : kNone;
}

double HammerRule::operator()(const Candle& c) const {
  return !flat(c) && long_lower_shadow(c) ? kBullish : kNone;
}
double HangingManRule::operator()(const Candle& c) const {
  return !flat(c) && long_lower_shadow(c) ? kBearish : kNone;
}
double InvertedHammerRule::operator()(const Candle& c) const {
  return !flat(c) && long_upper_shadow(c) ? kBullish : kNone;
}
double ShootingStarRule::operator()(const Candle& c) const {
  return !flat(c) && long_upper_shadow(c) ? kBearish : kNone;
}

double MarubozuRule::operator()(const Candle& c) const {
  if (flat(c) || c.close == c.open) return kNone;
  const double limit = range(c) * shadow_threshold;
  if (upper_shadow(c) <= limit && lower_shadow(c) <= limit) return direction_of(c);
  return kNone;
}

double SpinningTopRule::operator()(const Candle& c) const {
  if (flat(c) || c.close == c.open) return kNone;
  const double b = body(c);
  if (b > range(c) * body_threshold) return kNone;
  if (upper_shadow(c) >= b + b && lower_shadow(c) >= b + b) return direction_of(c);
  return kNone;
}

double OpeningMarubozuRule::operator()(const Candle& c) const {
  const double r = range(c);
  if (flat(c) || body(c) < r * 0.7) return kNone;
  if (is_bullish(c) && c.open - c.low <= r * 0.05) return kBullish;
  if (c.high - c.open <= r * 0.05 && is_bearish(c)) return kBearish;
  return kNone;
}

double ClosingMarubozuRule::operator()(const Candle& c) const {
  const double r = range(c);
  if (flat(c) || body(c) < r * 0.7) return kNone;
  if (c.high - c.close <= r * 0.05 && is_bullish(c)) return kBullish;
  if (is_bearish(c) && c.close - c.low <= r * 0.05) return kBearish;
  return kNone;
}

double BeltHoldRule::operator()(const Candle& c) const {
  const double r = range(c);
  if (flat(c) || body(c) < r * 0.5) return kNone;
  if (is_bullish(c) && c.open - c.low <= r * shadow_threshold) return kBullish;
  if (c.high - c.open <= r * shadow_threshold && is_bearish(c)) return kBearish;
  return kNone;
}

}  // namespace fendro::patterns
