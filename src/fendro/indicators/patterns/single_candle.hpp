// Patterns that read one candle: three anatomy features with a real value and
// sixteen shapes answering +1, -1 or 0. Each value depends on the current
// candle only.
#pragma once

#include <cstddef>

#include "fendro/indicators/patterns/candle_anatomy.hpp"

namespace fendro::patterns {

// Anatomy features: (upper - lower shadow) / range, (close - open) / open,
// body / range; 0 where the divisor is 0.
FENDRO_SINGLE_CANDLE_RULE(ShadowRatio);
FENDRO_SINGLE_CANDLE_RULE(CloseVsOpen);
FENDRO_SINGLE_CANDLE_RULE(BodySizePct);

FENDRO_SINGLE_CANDLE_RULE(DragonflyDoji);
FENDRO_SINGLE_CANDLE_RULE(GravestoneDoji);
FENDRO_SINGLE_CANDLE_RULE(LongLeggedDoji);
FENDRO_SINGLE_CANDLE_RULE(RickshawMan);
FENDRO_SINGLE_CANDLE_RULE(HighWave);
FENDRO_SINGLE_CANDLE_RULE(Takuri);
// Hammer and HangingMan are one shape with opposite signs; so are
// InvertedHammer and ShootingStar. None looks at the trend before the candle.
FENDRO_SINGLE_CANDLE_RULE(Hammer);
FENDRO_SINGLE_CANDLE_RULE(HangingMan);
FENDRO_SINGLE_CANDLE_RULE(InvertedHammer);
FENDRO_SINGLE_CANDLE_RULE(ShootingStar);
FENDRO_SINGLE_CANDLE_RULE(OpeningMarubozu);
FENDRO_SINGLE_CANDLE_RULE(ClosingMarubozu);

// Shapes that keep their threshold, a fraction of the range, as state.
struct DojiRule {
  static constexpr std::size_t kCandles = 1;
  double body_threshold = 0.1;  // largest body that still counts as a doji
  double operator()(const Candle& c) const;
};
using Doji = CandlePattern<DojiRule>;

struct MarubozuRule {
  static constexpr std::size_t kCandles = 1;
  double shadow_threshold = 0.05;  // largest shadow on either side
  double operator()(const Candle& c) const;
};
using Marubozu = CandlePattern<MarubozuRule>;

struct SpinningTopRule {
  static constexpr std::size_t kCandles = 1;
  double body_threshold = 0.3;  // largest body
  double operator()(const Candle& c) const;
};
using SpinningTop = CandlePattern<SpinningTopRule>;

struct BeltHoldRule {
  static constexpr std::size_t kCandles = 1;
  double shadow_threshold = 0.05;  // largest shadow on the opening side
  double operator()(const Candle& c) const;
};
using BeltHold = CandlePattern<BeltHoldRule>;

}  // namespace fendro::patterns
