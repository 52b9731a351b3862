#include <gtest/gtest.h>

#include <vector>

#include "indicators/patterns/candle_cases.hpp"

namespace fendro::testing::patterns {
namespace {

TEST(ThreeCandleRuns, SoldiersAndCrows) {
  const Candle w1 = ohlc(10, 11, 9.9, 11);
  const Candle w2 = ohlc(10.5, 12, 10.4, 12);
  const Candle b1 = ohlc(13, 13, 12, 12);
  const Candle b2 = ohlc(12.5, 12.5, 11, 11);
  expect_cases({
      {"ThreeSoldiersOrCrows", {w1, w2, ohlc(11.5, 13, 11.4, 13)}, 1.0},
      {"ThreeSoldiersOrCrows",
       {ohlc(10, 11, 10, 11), ohlc(11, 12, 11, 12), ohlc(11, 13, 11, 13)},
       1.0,
       "opens at the previous close, then at the previous open"},
      {"ThreeSoldiersOrCrows",
       {ohlc(10, 11, 10, 11), ohlc(10, 12, 10, 12), ohlc(12, 13, 12, 13)},
       1.0,
       "opens at the previous open, then at the previous close"},
      {"ThreeSoldiersOrCrows", {w1, w2, ohlc(12.5, 13, 12.5, 13)}, 0.0, "third opens above"},
      {"ThreeSoldiersOrCrows", {w1, w2, ohlc(11.5, 12, 11.4, 12)}, 0.0, "third close not higher"},
      {"ThreeSoldiersOrCrows", {b1, b2, ohlc(11.5, 11.5, 10, 10)}, -1.0},
      {"ThreeSoldiersOrCrows", {b1, b2, ohlc(11, 11, 10, 10)}, -1.0, "opens at the close"},
      {"ThreeSoldiersOrCrows", {b1, b2, ohlc(10.5, 10.5, 10, 10)}, 0.0, "third opens below"},
      {"ThreeSoldiersOrCrows", {w1, b2, ohlc(11.5, 11.5, 10, 10)}, 0.0, "mixed colours"},
  });
}

TEST(ThreeCandleRuns, IdenticalThreeCrows) {
  const Candle b1 = ohlc(13, 13, 12, 12);
  const Candle b2 = ohlc(12, 12, 11, 11);
  expect_cases({
      {"IdenticalThreeCrows", {b1, b2, ohlc(11, 11, 10, 10)}, -1.0, "opens exactly at the closes"},
      {"IdenticalThreeCrows", {b1, ohlc(12.01, 12.01, 11, 11), ohlc(11, 11, 10, 10)}, -1.0,
       "open within 0.1% of the close"},
      {"IdenticalThreeCrows", {b1, ohlc(12.02, 12.02, 11, 11), ohlc(11, 11, 10, 10)}, 0.0,
       "second open beyond 0.1%"},
      {"IdenticalThreeCrows", {b1, b2, ohlc(11.02, 11.02, 10, 10)}, 0.0,
       "third open beyond 0.1%"},
      {"IdenticalThreeCrows", {b1, b2, ohlc(11, 11, 11, 11)}, 0.0, "third without body"},
  });
}

TEST(ThreeCandleRuns, AdvanceBlockAndStalledPattern) {
  const Candle a1 = ohlc(10, 12.1, 9.9, 12);
  const Candle a2 = ohlc(11, 12.8, 10.9, 12.5);  // upper shadow 0.3
  // Long white candles of range 2 and 10; 20 - 0.1 * 10 = 19 exactly.
  const Candle s1 = ohlc(10, 12, 10, 12);
  const Candle s2 = ohlc(12, 22, 12, 20);
  expect_cases({
      {"AdvanceBlock", {a1, a2, ohlc(12, 13.2, 11.9, 12.8)}, -1.0},
      {"AdvanceBlock", {a1, a2, ohlc(12, 13.05, 11.9, 12.8)}, 0.0, "upper shadow shrinks"},
      {"AdvanceBlock", {a1, ohlc(11, 12.5, 10.9, 12.5), ohlc(12, 12.8, 11.9, 12.8)}, 0.0,
       "third closes at its high"},
      {"AdvanceBlock", {a1, a2, ohlc(11, 13.4, 10.9, 13)}, 0.0, "third body not smaller"},
      {"AdvanceBlock", {a1, ohlc(11, 13.3, 10.9, 13), ohlc(12, 13.7, 11.9, 13.1)}, 0.0,
       "second body as large as the first"},
      {"AdvanceBlock", {a1, a2, ohlc(12.6, 13.2, 12.6, 12.8)}, 0.0, "third opens above"},
      {"StalledPattern", {s1, s2, ohlc(19.5, 24, 19.5, 20.2)}, -1.0},
      {"StalledPattern", {s1, s2, ohlc(19, 24, 19, 20.2)}, -1.0,
       "third opens exactly a tenth of the second range below its close"},
      {"StalledPattern", {s1, s2, ohlc(18.9, 24, 18.9, 20.2)}, 0.0, "third opens lower"},
      {"StalledPattern", {s1, s2, ohlc(19.5, 21.5, 19.5, 21)}, 0.0, "third body large"},
      {"StalledPattern", {ohlc(10, 14, 10, 11.5), s2, ohlc(19.5, 24, 19.5, 20.2)}, 0.0,
       "first body short"},
  });
}

TEST(ThreeCandleRuns, ReversalFigures) {
  const Candle small_bull = ohlc(8.5, 9.5, 8.5, 9.5);
  const Candle small_bear = ohlc(9.5, 9.5, 8.5, 8.5);
  const Candle white = ohlc(10, 12, 10, 12);
  const Candle high_black = ohlc(13, 13.5, 12.5, 12.5);
  const Candle r1 = ohlc(12, 12.2, 9.8, 10);
  const Candle r2 = ohlc(11, 11, 9, 10.5);
  const Candle s1 = ohlc(12, 12, 10, 10);
  const Candle s2 = ohlc(10.5, 12, 10.2, 11.5);
  expect_cases({
      {"ThreeInside", {kLongBull, small_bear, ohlc(8.5, 8.5, 7, 7.5)}, -1.0},
      {"ThreeInside", {kLongBear, small_bull, ohlc(9.5, 11, 9.5, 10.5)}, 1.0},
      {"ThreeInside", {kLongBear, small_bull, ohlc(9.5, 10, 9.5, 10)}, 0.0,
       "third closes at the first open"},
      {"ThreeInside", {kLongBear, small_bull, ohlc(10.8, 11, 10.5, 10.5)}, 0.0, "third black"},
      {"ThreeInside", {kLongBull, small_bear, ohlc(8.5, 8.5, 8, 8)}, 0.0,
       "third closes at the first open"},
      {"ThreeInside", {kLongBear, kLongBull, ohlc(9.5, 11, 9.5, 10.5)}, 0.0, "no harami"},
      {"ThreeOutside", {small_bear, kLongBull, ohlc(10, 11, 10, 10.5)}, 1.0},
      {"ThreeOutside", {small_bull, kLongBear, ohlc(8, 8, 7, 7.5)}, -1.0},
      {"ThreeOutside", {kLongBear, kLongBull, ohlc(10, 11, 10, 10.5)}, 0.0,
       "second body equal to the first"},
      {"ThreeOutside", {small_bear, kLongBull, ohlc(10, 11, 10, 10)}, 0.0,
       "third closes at the second close"},
      {"TwoCrows", {white, high_black, ohlc(12.8, 12.8, 11, 11)}, -1.0},
      {"TwoCrows", {white, high_black, ohlc(12.8, 12.8, 12, 12)}, 0.0,
       "third closes at the first close"},
      {"TwoCrows", {white, high_black, ohlc(12.8, 12.8, 9.5, 9.5)}, 0.0,
       "third closes below the first body"},
      {"TwoCrows", {white, high_black, ohlc(13.2, 13.2, 11, 11)}, 0.0,
       "third opens above the second body"},
      {"UpsideGapTwoCrows", {white, high_black, ohlc(13.5, 13.5, 12.2, 12.2)}, -1.0},
      {"UpsideGapTwoCrows", {white, high_black, ohlc(13.5, 13.5, 12, 12)}, 0.0,
       "gap filled to the first close"},
      {"UpsideGapTwoCrows", {white, high_black, ohlc(13, 13.5, 12.2, 12.2)}, 0.0,
       "third opens at the second open"},
      {"UpsideGapTwoCrows", {white, ohlc(12.5, 13.5, 12.5, 13), ohlc(13.5, 13.5, 12.2, 12.2)},
       0.0,
       "second white"},
      {"UniqueThreeRiver", {r1, r2, ohlc(9.5, 10.5, 9, 9.8)}, 1.0,
       "third high exactly at the second close"},
      {"UniqueThreeRiver", {r1, r2, ohlc(9.5, 10.6, 9, 9.8)}, 0.0, "third high above"},
      {"UniqueThreeRiver", {r1, ohlc(11, 11, 9.9, 10.5), ohlc(9.5, 10.5, 9, 9.8)}, 0.0,
       "no new low"},
      {"UniqueThreeRiver", {r1, r2, ohlc(9.5, 10.5, 9.4, 10.3)}, 0.0, "third body large"},
      {"StickSandwich", {s1, s2, ohlc(12, 12.2, 10, 10.1)}, 1.0},
      {"StickSandwich", {s1, s2, ohlc(12, 12.2, 10, 10.3)}, 0.0, "closes too far apart"},
      {"StickSandwich", {s1, ohlc(10.5, 12, 10, 11.5), ohlc(12, 12.2, 10, 10.1)}, 0.0,
       "middle low at the first close"},
  });
}

}  // namespace
}  // namespace fendro::testing::patterns
