#include <gtest/gtest.h>

#include <vector>

#include "indicators/patterns/candle_cases.hpp"

namespace fendro::testing::patterns {
namespace {

TEST(TwoCandlePatterns, EngulfingAndKicking) {
  const Candle bear = ohlc(10, 10, 9, 9);
  const Candle bull = ohlc(9, 10, 9, 10);
  const Candle bad = ohlc(10, 9, 11, 10);  // high below low: dropped
  const Candle bull_gap = ohlc(11, 12, 11, 12);
  const Candle bear_gap = ohlc(8, 8, 7, 7);
  // Bodies of exactly 0.95 of the range.
  const Candle bear95 = ohlc(20, 20, 0, 1);
  const Candle bull95 = ohlc(21, 41, 21, 40);
  expect_cases({
      {"Engulfing", {bear, bull}, 0.0, "equal bodies"},
      {"Engulfing", {bear, ohlc(8.9, 10.1, 8.9, 10.1)}, 1.0},
      {"Engulfing", {bull, ohlc(10.1, 10.1, 8.9, 8.9)}, -1.0},
      {"Engulfing", {bear, ohlc(10.5, 10.5, 8, 8)}, 0.0, "same colour"},
      {"Engulfing", {flat(9.5), ohlc(8.9, 10.1, 8.9, 10.1)}, 0.0, "no first body"},
      {"Engulfing", {bear, bad, ohlc(8.9, 10.1, 8.9, 10.1)}, 1.0, "invalid candle skipped"},
      {"Kicking", {bear, bull_gap}, 1.0},
      {"KickingByLength", {bear, bull_gap}, -1.0, "equal bodies follow candle 1"},
      {"KickingByLength", {bear, ohlc(11, 13, 11, 13)}, 1.0},
      {"Kicking", {bull, bear_gap}, -1.0},
      {"KickingByLength", {bull, bear_gap}, 1.0, "equal bodies follow candle 1"},
      {"KickingByLength", {bull, ohlc(8, 8, 6, 6)}, -1.0},
      {"Kicking", {bear95, bull95}, 1.0},
      {"KickingByLength", {bear95, bull95}, -1.0},
      {"Kicking", {bear, ohlc(9.5, 10.5, 9.5, 10.5)}, 0.0, "no gap"},
      {"KickingByLength", {bear, ohlc(9.5, 10.5, 9.5, 10.5)}, 0.0, "no gap"},
      {"Kicking", {bear, bear_gap}, 0.0, "same colour"},
      {"KickingByLength", {bear, bear_gap}, 0.0, "same colour"},
      {"Kicking", {bear, ohlc(11, 12.2, 11, 12)}, 0.0, "upper shadow too long"},
  });
}

TEST(TwoCandlePatterns, ReversalsAndLines) {
  const double big = 1.5e308;
  expect_cases({
      {"Harami", {kLongBear, ohlc(8.5, 9.5, 8.5, 9.5)}, 1.0},
      {"Harami", {kLongBull, ohlc(9.5, 9.5, 8.5, 8.5)}, -1.0},
      {"Harami", {kLongBear, kLongBull}, 0.0, "equal bodies"},
      {"Harami", {kLongBear, ohlc(9, 9.5, 8.5, 9)}, 0.0, "no current body"},
      {"HaramiCross", {flat(9), ohlc(9, 9.5, 8.5, 9)}, -1.0, "flat first candle"},
      {"HaramiCross", {kLongBear, ohlc(9, 9.5, 8.5, 9)}, 1.0},
      {"HaramiCross", {kLongBull, ohlc(9, 9.5, 8.5, 9)}, -1.0},
      {"HaramiCross", {ohlc(9, 10, 8, 9.1), ohlc(9, 9.5, 8.5, 9)}, 0.0, "first is a doji"},
      {"HaramiCross", {kLongBear, ohlc(8.5, 9.5, 8.5, 9.5)}, 0.0, "second not a doji"},
      {"HaramiCross", {kLongBear, ohlc(10.5, 11, 10, 10.5)}, 0.0, "outside the body"},
      {"HaramiCross", {kLongBear, flat(9)}, 0.0, "second without range"},
      {"HomingPigeon", {kLongBear, ohlc(9.5, 9.5, 8.5, 8.5)}, 1.0},
      {"HomingPigeon", {kLongBear, ohlc(8.5, 9.5, 8.5, 9.5)}, 0.0, "second bullish"},
      {"HomingPigeon", {kLongBear, kLongBear}, 0.0, "second as large"},
      {"DojiStar", {kLongBull, ohlc(10.5, 11, 10.2, 10.5)}, -1.0},
      {"DojiStar", {kLongBear, ohlc(7.5, 7.8, 7, 7.5)}, 1.0},
      {"DojiStar", {kLongBear, ohlc(8, 8.5, 7, 8)}, 0.0, "star top at the close"},
      {"DojiStar", {ohlc(8, 11, 7, 9), ohlc(10.5, 11, 10.2, 10.5)}, 0.0, "first short"},
      {"DojiStar", {kLongBull, ohlc(10.5, 11, 10.2, 10.8)}, 0.0, "star not a doji"},
      {"Counterattack", {flat(10), flat(10)}, 0.0, "no direction"},
      {"Counterattack", {kLongBear, ohlc(6, 8.05, 6, 8.05)}, 1.0},
      {"Counterattack", {kLongBull, ohlc(12, 12, 9.95, 9.95)}, -1.0},
      {"Counterattack", {kLongBear, ohlc(6, 8.5, 6, 8.5)}, 0.0, "closes apart"},
      {"Counterattack", {kLongBear, ohlc(7.5, 8.05, 6, 8.05)}, 0.0, "second body short"},
      {"Counterattack", {kLongBear, flat(8)}, 0.0, "second without body"},
      {"Counterattack", {flat(10), ohlc(12, 12, 10, 10)}, 0.0, "first without body"},
      {"SeparatingLines", {ohlc(10, 10, 8.8, 9), ohlc(10, 12.1, 10, 12)}, 1.0},
      {"SeparatingLines", {ohlc(10, 11.2, 10, 11), ohlc(10, 10, 7.9, 8)}, -1.0},
      {"SeparatingLines", {ohlc(10, 10, 8.8, 9), ohlc(10.2, 12.1, 10.2, 12)}, 0.0, "opens apart"},
      {"MatchingLow", {kLongBear, ohlc(9, 9, 8, 8.02)}, 1.0},
      {"MatchingLow", {kLongBear, ohlc(8, 9, 8, 8.05)}, 0.0, "second bullish"},
      {"MatchingLow", {ohlc(30, 30, 10, 10), ohlc(30, 30, 10, 11)}, 1.0, "closes a twentieth of the mean range apart"},
      // Ranges above half the largest double: their mean must not overflow.
      {"MatchingLow", {ohlc(big, big, 0.4e308, 0.5e308), ohlc(big, big, 0.4e308, 0.6e308)}, 0.0},
      {"MatchingLow", {ohlc(big, big, 0.4e308, 0.5e308), ohlc(big, big, 0.4e308, 0.51e308)}, 1.0},
      {"Tweezer", {ohlc(100, 110, 100, 105), ohlc(100, 110, 100, 105)}, 1.0, "identical"},
      {"Tweezer", {flat(0), flat(0)}, 1.0, "all zero"},
      {"Tweezer", {ohlc(101, 110, 100, 105), ohlc(101, 112, 100.05, 105)}, 1.0},
      {"Tweezer", {ohlc(101, 110, 100, 105), ohlc(101, 110.05, 100.2, 105)}, -1.0},
      {"Tweezer", {ohlc(101, 110, 100, 105), ohlc(101, 110.5, 100.2, 105)}, 0.0},
  });
}

TEST(TwoCandlePatterns, PiercingDarkCloud) {
  const Candle bear = ohlc(10, 10.5, 7.5, 8);  // body midpoint 9
  const Candle bull = ohlc(8, 10.5, 7.5, 10);
  expect_cases({
      {"PiercingDarkCloud", {bear, ohlc(7, 9.6, 7, 9.5)}, 1.0},
      {"PiercingDarkCloud", {bear, ohlc(7, 9.6, 7, 9)}, 0.0, "close at the midpoint"},
      {"PiercingDarkCloud", {bear, ohlc(7, 10.2, 7, 10.1)}, 0.0, "close above the open"},
      {"PiercingDarkCloud", {bull, ohlc(11, 11, 8.4, 8.5)}, -1.0},
      {"PiercingDarkCloud", {bull, ohlc(11, 11, 7.9, 8)}, 0.0, "close at the open"},
  });
}

TEST(TwoCandlePatterns, NeckAndThrusting) {
  const Candle bear = ohlc(10, 10, 7.5, 8);  // long, bearish; a tenth in: 8.2
  const Candle at_close = ohlc(7, 8, 7, 8);
  const Candle tenth_in = ohlc(7, 8.2, 7, 8.2);
  const Candle deeper = ohlc(7, 8.5, 7, 8.5);
  const Candle at_low = ohlc(7, 7.5, 7, 7.5);
  expect_cases({
      {"InNeck", {bear, at_close}, -1.0},
      {"InNeck", {bear, tenth_in}, -1.0},
      {"InNeck", {bear, deeper}, 0.0},
      {"InNeck", {bear, at_low}, 0.0, "close below the previous close"},
      {"InNeck", {bear, ohlc(7.5, 8, 7.5, 8)}, 0.0, "open at the previous low"},
      {"InNeck", {ohlc(10, 10, 6, 9), ohlc(5, 9, 5, 9)}, 0.0, "first body short"},
      {"InNeck", {ohlc(10, 10, 6, 8), ohlc(5, 8, 5, 8)}, -1.0, "first body exactly half its range"},
      {"OnNeck", {bear, at_low}, -1.0},
      {"OnNeck", {bear, at_close}, 0.0},
      {"OnNeck", {bear, ohlc(7, 7.6, 7, 7.6)}, -1.0, "within a twentieth of the range of the low"},
      {"OnNeck", {bear, ohlc(7, 7.7, 7, 7.7)}, 0.0, "beyond a twentieth of the range"},
      {"Thrusting", {bear, deeper}, -1.0},
      {"Thrusting", {bear, tenth_in}, 0.0},
      {"Thrusting", {bear, ohlc(7, 9, 7, 9)}, 0.0, "close at the midpoint"},
  });
}

}  // namespace
}  // namespace fendro::testing::patterns
