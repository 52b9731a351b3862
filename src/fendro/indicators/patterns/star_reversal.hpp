// Three-candle reversals whose middle candle is a small body, a doji or an
// inside candle between two larger ones.
#pragma once

#include <cstddef>

#include "fendro/indicators/patterns/candle_anatomy.hpp"

namespace fendro::patterns {

// +1 morning star, -1 evening star.
FENDRO_CANDLE_RULE(MorningEveningStar, 3);
// Three doji: -1 when the middle one rises above the first and the third
// falls back, +1 for the mirror image.
FENDRO_CANDLE_RULE(Tristar, 3);
// +1 tower bottom, -1 tower top.
FENDRO_CANDLE_RULE(TowerTopBottom, 3);

// How far the third close must enter the first body, as a fraction of it.
struct MorningDojiStarRule {
  static constexpr std::size_t kCandles = 3;
  double penetration = 0.3;
  double operator()(const CandleSpan<3>& c) const;  // bullish only
};
using MorningDojiStar = CandlePattern<MorningDojiStarRule>;

struct EveningDojiStarRule {
  static constexpr std::size_t kCandles = 3;
  double penetration = 0.3;
  double operator()(const CandleSpan<3>& c) const;  // bearish only
};
using EveningDojiStar = CandlePattern<EveningDojiStarRule>;

// A doji gapping away from both neighbours, shadows included.
struct AbandonedBabyRule {
  static constexpr std::size_t kCandles = 3;
  double tolerance = 0.001;  // relative doji tolerance
  double operator()(const CandleSpan<3>& c) const;
};
using AbandonedBaby = CandlePattern<AbandonedBabyRule>;

// Bullish only.
struct ThreeStarsInSouthRule {
  static constexpr std::size_t kCandles = 3;
  double tolerance = 0.001;  // relative tolerance of the third candle's shadows
  double operator()(const CandleSpan<3>& c) const;
};
using ThreeStarsInSouth = CandlePattern<ThreeStarsInSouthRule>;

}  // namespace fendro::patterns
