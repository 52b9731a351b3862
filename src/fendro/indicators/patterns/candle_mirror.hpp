// The mirror image of candles: prices negated, high and low swapped. A bearish
// figure is the bullish figure of the mirrored candles, so a rule whose two
// sides are exact mirror images is written once. Negation is exact and
// rounding is symmetric, so every difference and comparison on the mirrored
// candles equals its mirrored counterpart on the originals bit for bit.
#pragma once

#include <cstddef>

#include "fendro/indicators/patterns/candle_anatomy.hpp"

namespace fendro::patterns {

inline Candle mirrored(const Candle& c) {
  return Candle{c.time, -c.open, -c.low, -c.high, -c.close, c.volume};
}

template <std::size_t N>
CandleSpan<N> mirrored(const CandleSpan<N>& c) {
  CandleSpan<N> out;
  for (std::size_t i = 0; i < N; ++i) out[i] = mirrored(c[i]);
  return out;
}

// +1 when `bullish` holds for the candles, -1 when it holds for their mirror
// image, else 0. The two sides must exclude each other.
template <std::size_t N, class Figure>
double either_side(const CandleSpan<N>& c, Figure bullish) {
  if (bullish(c)) return kBullish;
  return bullish(mirrored(c)) ? kBearish : kNone;
}

}  // namespace fendro::patterns
