// Two-candle patterns that compare the current body (candle 2) with the body
// of the valid candle before it (candle 1).
#pragma once

#include <cstddef>

#include "fendro/indicators/patterns/candle_anatomy.hpp"

namespace fendro::patterns {

// +1 bullish, -1 bearish engulfing: a strictly larger opposite body.
FENDRO_CANDLE_RULE(Engulfing, 2);
// +1 bullish, -1 bearish: a strictly smaller opposite body inside candle 1's.
FENDRO_CANDLE_RULE(Harami, 2);
// A doji inside the body of a non-doji candle 1; the sign follows candle 1.
FENDRO_CANDLE_RULE(HaramiCross, 2);
// Bullish only: two bearish bodies, the second inside and smaller.
FENDRO_CANDLE_RULE(HomingPigeon, 2);
// A doji beyond the close of a long candle; the sign is against candle 1.
FENDRO_CANDLE_RULE(DojiStar, 2);
// Two opposite marubozu with a gap; the sign follows candle 2.
FENDRO_CANDLE_RULE(Kicking, 2);
// As Kicking, but the sign follows the longer body (candle 1's on a tie).
FENDRO_CANDLE_RULE(KickingByLength, 2);

// Two opposite long candles closing at the same level; the sign follows
// candle 2.
struct CounterattackRule {
  static constexpr std::size_t kCandles = 2;
  double tolerance = 0.05;  // of the two candles' mean range
  double operator()(const CandleSpan<2>& c) const;
};
using Counterattack = CandlePattern<CounterattackRule>;

}  // namespace fendro::patterns
