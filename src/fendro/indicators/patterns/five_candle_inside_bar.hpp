// Patterns over the longest windows (four and five candles) and over nested
// ranges (inside bars and the break that follows them).
#pragma once

#include <cstddef>

#include "fendro/indicators/patterns/candle_anatomy.hpp"

namespace fendro::patterns {

// A gap, a three-candle drift away from it, and a fifth candle closing
// inside the gap: +1 after a falling drift, -1 after a rising one.
FENDRO_CANDLE_RULE(Breakaway, 5);
// Bullish only: three falling black candles, a black fourth with an upper
// shadow, and a white fifth opening above it and closing above its high.
FENDRO_CANDLE_RULE(LadderBottom, 5);
// Bullish only: two black marubozu, a black third reaching into the second
// body, and a black fourth engulfing the whole third candle.
FENDRO_CANDLE_RULE(ConcealingBabySwallow, 4);
// An inside bar and the break that follows it: -1 when the third candle
// breaks upward, +1 when it breaks downward.
FENDRO_CANDLE_RULE(Hikkake, 3);
// Two nested inside bars; the second candle's close, near one end of its
// range, and a fourth candle breaking that way decide the sign.
FENDRO_CANDLE_RULE(HikkakeModified, 4);

}  // namespace fendro::patterns
