// Two-candle patterns that place the current candle's open or close against
// a price level of the valid candle before it (its low, high, close, open or
// body midpoint).
#pragma once

#include <cstddef>

#include "fendro/indicators/patterns/candle_anatomy.hpp"

namespace fendro::patterns {

// +1 piercing line, -1 dark cloud cover.
FENDRO_CANDLE_RULE(PiercingDarkCloud, 2);
// Bearish only: after a long bearish candle, a bullish one opening below its
// low and closing at or just above its close.
FENDRO_CANDLE_RULE(InNeck, 2);
// Bearish only: as InNeck, closing at the previous low.
FENDRO_CANDLE_RULE(OnNeck, 2);
// Bearish only: as InNeck, closing inside the previous body, below its
// midpoint.
FENDRO_CANDLE_RULE(Thrusting, 2);
// Same open, opposite colours; the sign follows candle 2.
FENDRO_CANDLE_RULE(SeparatingLines, 2);
// Bullish only: two bearish candles closing at the same level.
FENDRO_CANDLE_RULE(MatchingLow, 2);

// +1 tweezer bottom (matching lows; wins when the highs match too), -1 tweezer
// top (matching highs).
struct TweezerRule {
  static constexpr std::size_t kCandles = 2;
  double tolerance = 0.001;  // relative to the larger absolute price
  double operator()(const CandleSpan<2>& c) const;
};
using Tweezer = CandlePattern<TweezerRule>;

}  // namespace fendro::patterns
