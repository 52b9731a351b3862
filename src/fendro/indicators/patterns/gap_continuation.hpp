// Continuation patterns: gaps that hold, a run struck back by one candle, and
// a long candle, a pause of three small candles and a breakout.
#pragma once

#include <cstddef>

#include "fendro/indicators/patterns/candle_anatomy.hpp"

namespace fendro::patterns {

// +1 upside, -1 downside tasuki gap: the third candle opens inside the
// second body and closes inside the gap without filling it.
FENDRO_CANDLE_RULE(TasukiGap, 3);
// Two white candles of like size side by side after a gap; the sign follows
// the gap.
FENDRO_CANDLE_RULE(GapSideBySideWhite, 3);
// Bullish only: an upward gap between two white candles, filled by a black
// third.
FENDRO_CANDLE_RULE(UpsideGapThreeMethods, 3);
// Bearish only: the mirror image.
FENDRO_CANDLE_RULE(DownsideGapThreeMethods, 3);
// Three candles of one run, struck back by a fourth opening beyond the third
// close and closing beyond the first open; the sign follows the run.
FENDRO_CANDLE_RULE(ThreeLineStrike, 4);
// Bullish only: a long white candle, three small black candles within its
// range, and a long white breakout.
FENDRO_CANDLE_RULE(RisingThreeMethods, 5);
// Bearish only: the mirror image.
FENDRO_CANDLE_RULE(FallingThreeMethods, 5);

// Bullish only: a long white candle, a pause of three small bodies above its
// pullback level, then a white close above every earlier high.
struct MatHoldRule {
  static constexpr std::size_t kCandles = 5;
  double pullback = 0.5;  // of the first body: how far the pause may fall back
  double operator()(const CandleSpan<5>& c) const;
};
using MatHold = CandlePattern<MatHoldRule>;

}  // namespace fendro::patterns
