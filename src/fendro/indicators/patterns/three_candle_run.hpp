// Three-candle patterns built from runs of one colour, or from a two-candle
// figure that the third candle confirms.
#pragma once

#include <cstddef>

#include "fendro/indicators/patterns/candle_anatomy.hpp"

namespace fendro::patterns {

// +1 three white soldiers, -1 three black crows: each candle opens inside
// the previous body and closes beyond the previous close.
FENDRO_CANDLE_RULE(ThreeSoldiersOrCrows, 3);
// Bearish only: three shrinking white bodies whose upper shadows do not
// shrink.
FENDRO_CANDLE_RULE(AdvanceBlock, 3);
// Bearish only: two long white candles, then a small one opening near the
// second close.
FENDRO_CANDLE_RULE(StalledPattern, 3);
// A harami confirmed by a third candle closing beyond the first open.
FENDRO_CANDLE_RULE(ThreeInside, 3);
// An engulfing confirmed by a third candle closing beyond the second close.
FENDRO_CANDLE_RULE(ThreeOutside, 3);
// Bearish only: a white candle, a black one gapping above it, and a black
// third closing inside the first body.
FENDRO_CANDLE_RULE(TwoCrows, 3);
// Bearish only: as two crows, but the third engulfs the second body and the
// gap above the first close stays open.
FENDRO_CANDLE_RULE(UpsideGapTwoCrows, 3);
// Bullish only: a long black candle, a black candle making a new low with
// its body inside the first, and a small white third below the second close.
FENDRO_CANDLE_RULE(UniqueThreeRiver, 3);
// Bullish only: two black candles with matching closes around a white one
// trading above the first close.
FENDRO_CANDLE_RULE(StickSandwich, 3);

// Bearish only: three black candles, each opening at the previous close.
struct IdenticalThreeCrowsRule {
  static constexpr std::size_t kCandles = 3;
  double tolerance = 0.001;  // relative: how close an open must be to the previous close
  double operator()(const CandleSpan<3>& c) const;
};
using IdenticalThreeCrows = CandlePattern<IdenticalThreeCrowsRule>;

}  // namespace fendro::patterns
