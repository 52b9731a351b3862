// Candle figures a random walk never forms, so that the all-keys fingerprint
// sees them give only 0: each against hand-built candles, firing and falling
// just short of its rules.
#include <gtest/gtest.h>

#include <vector>

#include "indicators/patterns/candle_cases.hpp"

namespace fendro::testing::patterns {
namespace {

TEST(TwoCandlePatterns, HaramiAndHomingPigeon) {
  expect_cases({
      {"HomingPigeon", {kLongBear, ohlc(9.5, 9.5, 8.5, 8.5)}, 1.0},
      {"HomingPigeon", {kLongBear, ohlc(8.5, 9.5, 8.5, 9.5)}, 0.0, "second bullish"},
      {"HomingPigeon", {kLongBear, kLongBear}, 0.0, "second as large"},
  });
}

TEST(TwoCandlePatterns, DojiStar) {
  expect_cases({
      {"DojiStar", {kLongBull, ohlc(10.5, 11, 10.2, 10.5)}, -1.0},
      {"DojiStar", {kLongBear, ohlc(7.5, 7.8, 7, 7.5)}, 1.0},
      {"DojiStar", {kLongBear, ohlc(8, 8.5, 7, 8)}, 0.0, "star top at the close"},
      {"DojiStar", {ohlc(8, 11, 7, 9), ohlc(10.5, 11, 10.2, 10.5)}, 0.0, "first short"},
      {"DojiStar", {kLongBull, ohlc(10.5, 11, 10.2, 10.8)}, 0.0, "star not a doji"},
  });
}

TEST(TwoCandlePatterns, Kicking) {
  const Candle bear = ohlc(10, 10, 9, 9);
  const Candle bull = ohlc(9, 10, 9, 10);
  const Candle bull_gap = ohlc(11, 12, 11, 12);
  const Candle bear_gap = ohlc(8, 8, 7, 7);
  // Bodies of exactly 0.95 of the range.
  const Candle bear95 = ohlc(20, 20, 0, 1);
  const Candle bull95 = ohlc(21, 41, 21, 40);
  expect_cases({
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

TEST(TwoCandlePatterns, Counterattack) {
  expect_cases({
      {"Counterattack", {flat(10), flat(10)}, 0.0, "no direction"},
      {"Counterattack", {kLongBear, ohlc(6, 8.05, 6, 8.05)}, 1.0},
      {"Counterattack", {kLongBull, ohlc(12, 12, 9.95, 9.95)}, -1.0},
      {"Counterattack", {kLongBear, ohlc(6, 8.5, 6, 8.5)}, 0.0, "closes apart"},
      {"Counterattack", {kLongBear, ohlc(7.5, 8.05, 6, 8.05)}, 0.0, "second body short"},
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
      {"OnNeck", {bear, at_low}, -1.0},
      {"OnNeck", {bear, at_close}, 0.0},
      {"OnNeck", {bear, ohlc(7, 7.6, 7, 7.6)}, -1.0, "within a twentieth of the range of the low"},
      {"OnNeck", {bear, ohlc(7, 7.7, 7, 7.7)}, 0.0, "beyond a twentieth of the range"},
      {"Thrusting", {bear, deeper}, -1.0},
      {"Thrusting", {bear, tenth_in}, 0.0},
      {"Thrusting", {bear, ohlc(7, 9, 7, 9)}, 0.0, "close at the midpoint"},
  });
}

TEST(StarPatterns, MorningEveningStar) {
  const Candle low_star = ohlc(7.5, 7.5, 7, 7);
  expect_cases({
      {"MorningEveningStar", {kLongBear, low_star, ohlc(8, 9.5, 8, 9.5)}, 1.0},
      {"MorningEveningStar", {kLongBear, ohlc(7.5, 7.5, 6.5, 6.5), kLongBull}, 1.0,
       "star body exactly half of the outer bodies"},
      {"MorningEveningStar", {kLongBear, ohlc(7.5, 7.5, 6.4, 6.4), kLongBull}, 0.0,
       "star body too large"},
      {"MorningEveningStar", {kLongBear, low_star, ohlc(7.6, 8.6, 7.6, 8.6)}, 0.0,
       "third close not far enough into the first body"},
      {"MorningEveningStar", {kLongBear, low_star, flat(9.5)}, 0.0, "third without body"},
      {"MorningEveningStar", {kLongBull, ohlc(10.5, 11, 10.5, 11), ohlc(10, 10, 8.5, 8.5)}, -1.0},
  });
}

TEST(StarPatterns, DojiStars) {
  const Candle low_doji = ohlc(7.5, 7.7, 7.3, 7.5);
  const Candle high_doji = ohlc(10.5, 10.7, 10.3, 10.5);
  expect_cases({
      {"MorningDojiStar", {kLongBear, low_doji, ohlc(8, 9, 8, 9)}, 1.0},
      {"MorningDojiStar", {kLongBear, low_doji, ohlc(8, 8.6, 8, 8.6)}, 0.0,
       "third close exactly at the penetration level"},
      {"MorningDojiStar", {kLongBear, low_doji, ohlc(7.5, 9, 7.5, 9)}, 0.0,
       "third body touches the star"},
      {"MorningDojiStar", {kLongBear, ohlc(7.5, 7.7, 7.3, 7.4), ohlc(8, 9, 8, 9)}, 0.0,
       "star not a doji"},
      {"MorningDojiStar", {kLongBull, low_doji, ohlc(8, 9, 8, 9)}, 0.0, "first bullish"},
      {"EveningDojiStar", {kLongBull, high_doji, ohlc(10, 10, 9, 9)}, -1.0},
      {"EveningDojiStar", {kLongBull, high_doji, ohlc(10, 10, 9.4, 9.4)}, 0.0,
       "third close exactly at the penetration level"},
      {"EveningDojiStar", {kLongBear, high_doji, ohlc(10, 10, 9, 9)}, 0.0, "first bearish"},
  });
}

TEST(StarPatterns, AbandonedBabyAndTristar) {
  const Candle baby = ohlc(100, 100.1, 99.9, 100.05);  // doji within 0.1%
  expect_cases({
      {"AbandonedBaby", {ohlc(105, 105, 100.5, 101), baby, ohlc(101, 104, 100.5, 104)}, 1.0},
      {"AbandonedBaby", {ohlc(95, 99.5, 95, 99), baby, ohlc(99, 99.5, 96, 96)}, -1.0},
      {"AbandonedBaby",
       {ohlc(105, 105, 100.5, 101), ohlc(100, 100.3, 99.9, 100.2), ohlc(101, 104, 100.5, 104)},
       0.0,
       "middle not a doji"},
      {"AbandonedBaby", {ohlc(105, 105, 100, 101), baby, ohlc(101, 104, 100.5, 104)}, 0.0,
       "shadows overlap"},
      {"Tristar", {ohlc(10, 10.5, 9.5, 10), ohlc(11, 11.5, 10.5, 11), ohlc(11, 11.5, 10.5, 11)},
       0.0,
       "third top equal to the middle top"},
      {"Tristar",
       {ohlc(10, 10.5, 9.5, 10), ohlc(11, 11.5, 10.5, 11), ohlc(10.5, 11, 10, 10.5)},
       -1.0},
      {"Tristar", {ohlc(10, 10.5, 9.5, 10), ohlc(9, 9.5, 8.5, 9), ohlc(9.5, 10, 9, 9.5)}, 1.0},
      {"Tristar", {ohlc(10, 10.5, 9.5, 10), ohlc(9, 9.5, 8.5, 9), ohlc(9.5, 10, 9, 9.8)}, 0.0,
       "third not a doji"},
  });
}

TEST(StarPatterns, ThreeStarsInSouthAndTower) {
  const Candle first = ohlc(110, 110, 90, 100);
  const Candle second = ohlc(105, 106, 95, 101);
  expect_cases({
      {"ThreeStarsInSouth", {first, second, ohlc(102, 102, 101.5, 101.5)}, 1.0},
      {"ThreeStarsInSouth", {first, second, ohlc(101.95, 102, 101.5, 101.5)}, 1.0,
       "upper shadow within the tolerance"},
      {"ThreeStarsInSouth", {first, second, ohlc(101.8, 102, 101.5, 101.5)}, 0.0,
       "upper shadow 0.2 above the tolerance 0.102"},
      {"ThreeStarsInSouth", {ohlc(110, 110, 92, 100), second, ohlc(102, 102, 101.5, 101.5)}, 0.0,
       "first lower shadow shorter than its body"},
  });
}

TEST(ThreeCandleRuns, Crows) {
  const Candle white = ohlc(10, 12, 10, 12);
  const Candle high_black = ohlc(13, 13.5, 12.5, 12.5);
  expect_cases({
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
  });
}

TEST(ThreeCandleRuns, UniqueThreeRiverAndStickSandwich) {
  const Candle r1 = ohlc(12, 12.2, 9.8, 10);
  const Candle r2 = ohlc(11, 11, 9, 10.5);
  const Candle s1 = ohlc(12, 12, 10, 10);
  const Candle s2 = ohlc(10.5, 12, 10.2, 11.5);
  expect_cases({
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

TEST(ContinuationPatterns, TasukiGap) {
  const Candle w1 = ohlc(10, 11, 10, 11);
  const Candle w2 = ohlc(11.5, 12.5, 11.5, 12.5);
  const Candle b1 = ohlc(12, 12, 11, 11);
  const Candle b2 = ohlc(10.5, 10.5, 9.5, 9.5);
  expect_cases({
      {"TasukiGap", {w1, w2, ohlc(12, 12, 11.2, 11.2)}, 1.0},
      {"TasukiGap", {w1, w2, ohlc(12, 12, 11, 11)}, 0.0, "third closes at the first close"},
      {"TasukiGap", {w1, w2, ohlc(12.5, 12.5, 11.2, 11.2)}, 0.0, "third opens at the second close"},
      {"TasukiGap", {b1, b2, ohlc(10, 10.8, 10, 10.8)}, -1.0},
      {"TasukiGap", {b1, b2, ohlc(10, 11, 10, 11)}, 0.0, "third closes at the first close"},
      {"TasukiGap", {ohlc(10, 11.6, 10, 11.6), w2, ohlc(12, 12, 11.2, 11.2)}, 0.0, "no gap"},
  });
}

TEST(ContinuationPatterns, GapSideBySideWhite) {
  const Candle low_body = ohlc(10, 11, 10, 11);
  const Candle w2 = ohlc(12, 14, 12, 14);  // range 2, body 2
  const Candle w3 = ohlc(12, 13, 12, 13);  // body 1
  expect_cases({
      {"GapSideBySideWhite", {low_body, w2, w3}, 1.0, "bodies exactly 2 : 1"},
      {"GapSideBySideWhite", {low_body, w2, ohlc(12, 16, 12, 16)}, 1.0, "bodies exactly 1 : 2"},
      {"GapSideBySideWhite", {ohlc(16, 16, 15, 15), w2, w3}, -1.0},
      {"GapSideBySideWhite", {ohlc(10, 12, 10, 12), w2, w3}, 0.0, "bodies touch"},
      {"GapSideBySideWhite", {low_body, w2, ohlc(12, 12.6, 12, 12.6)}, 0.0, "third body small"},
      {"GapSideBySideWhite", {low_body, w2, ohlc(12.3, 13.3, 12.3, 13.3)}, 0.0,
       "opens too far apart"},
  });
}

TEST(ContinuationPatterns, GapThreeMethods) {
  const Candle w1 = ohlc(10, 11, 10, 11);
  const Candle w2 = ohlc(11.5, 12.5, 11.5, 12.5);
  const Candle b1 = ohlc(12, 12, 11, 11);
  const Candle b2 = ohlc(10.5, 10.5, 9.5, 9.5);
  expect_cases({
      {"UpsideGapThreeMethods", {w1, w2, ohlc(12, 12, 10.5, 10.5)}, 1.0},
      {"UpsideGapThreeMethods", {w1, w2, ohlc(12, 12, 11, 11)}, 0.0,
       "third closes at the first close"},
      {"UpsideGapThreeMethods", {w1, w2, ohlc(12, 12, 10, 10)}, 0.0,
       "third closes at the first open"},
      {"UpsideGapThreeMethods", {w1, ohlc(11, 12.5, 11, 12.5), ohlc(12, 12, 10.5, 10.5)}, 0.0,
       "no gap"},
      {"DownsideGapThreeMethods", {b1, b2, ohlc(10, 11.5, 10, 11.5)}, -1.0},
      {"DownsideGapThreeMethods", {b1, b2, ohlc(10, 12, 10, 12)}, 0.0,
       "third closes at the first open"},
      {"DownsideGapThreeMethods", {b1, b2, ohlc(10, 11, 10, 11)}, 0.0,
       "third closes at the first close"},
      {"DownsideGapThreeMethods", {b1, b2, ohlc(9.5, 11.5, 9.5, 11.5)}, 0.0,
       "third opens at the second close"},
  });
}

TEST(ContinuationPatterns, ThreeLineStrike) {
  const std::vector<Candle> up = {ohlc(10, 11, 10, 11), ohlc(10.5, 12, 10.5, 12),
                                  ohlc(11.5, 13, 11.5, 13)};
  const std::vector<Candle> down = {ohlc(13, 13, 12, 12), ohlc(12.5, 12.5, 11, 11),
                                    ohlc(11.5, 11.5, 10, 10)};
  const auto with = [](std::vector<Candle> run, const Candle& strike) {
    run.push_back(strike);
    return run;
  };
  expect_cases({
      {"ThreeLineStrike", with(up, ohlc(13.5, 13.5, 9.5, 9.8)), 1.0},
      {"ThreeLineStrike", with(up, ohlc(13, 13, 9.5, 9.8)), 0.0, "fourth opens at the third close"},
      {"ThreeLineStrike", with(up, ohlc(13.5, 13.5, 9.5, 10)), 0.0,
       "fourth closes at the first open"},
      {"ThreeLineStrike", with(down, ohlc(9.5, 13.5, 9.5, 13.2)), -1.0},
      {"ThreeLineStrike", with(down, ohlc(10, 13.5, 10, 13.2)), 0.0,
       "fourth opens at the third close"},
      {"ThreeLineStrike", with(down, ohlc(9.5, 12.5, 9.5, 12.5)), 0.0,
       "fourth closes inside the run"},
  });
}

// A long first candle, three small candles, a breakout (fifth candle).
std::vector<Candle> five(const Candle& c1, const Candle& c2, const Candle& c3, const Candle& c4,
                         const Candle& c5) {
  return {c1, c2, c3, c4, c5};
}

TEST(ContinuationPatterns, RisingAndFallingThreeMethods) {
  const Candle w1 = ohlc(10, 12, 10, 12);
  const Candle r2 = ohlc(11.8, 11.9, 11.2, 11.3);
  const Candle r3 = ohlc(11.5, 11.6, 10.9, 11.0);
  const Candle r4 = ohlc(11.2, 11.3, 10.6, 10.7);
  const Candle r5 = ohlc(11, 12.6, 11, 12.5);
  const Candle b1 = ohlc(12, 12, 10, 10);
  const Candle f2 = ohlc(10.2, 10.8, 10.1, 10.7);
  const Candle f3 = ohlc(10.5, 11.1, 10.4, 11.0);
  const Candle f4 = ohlc(10.8, 11.4, 10.7, 11.3);
  const Candle f5 = ohlc(11, 11, 9.4, 9.5);
  expect_cases({
      {"RisingThreeMethods", five(w1, r2, r3, r4, r5), 1.0},
      {"RisingThreeMethods", five(w1, r2, r3, ohlc(10, 10.2, 9.5, 9.7), r5), 0.0,
       "middle body top at the first low"},
      {"RisingThreeMethods", five(w1, r2, r3, ohlc(10.05, 10.2, 9.5, 9.7), r5), 1.0,
       "middle body top just above the first low"},
      {"RisingThreeMethods", five(w1, r2, ohlc(11.2, 11.6, 10.9, 11.2), r4, r5), 0.0,
       "middle candle without body"},
      {"RisingThreeMethods", five(w1, ohlc(12.4, 12.4, 11.3, 11.35), r3, r4, r5), 0.0,
       "middle body above half the first"},
      {"RisingThreeMethods", five(w1, r3, r2, r4, r5), 0.0, "middle closes not falling"},
      {"RisingThreeMethods", five(w1, r2, r3, r4, ohlc(10.7, 12.6, 10.7, 12.5)), 0.0,
       "fifth opens at the fourth close"},
      {"RisingThreeMethods", five(w1, r2, r3, r4, ohlc(11, 12, 11, 12)), 0.0,
       "fifth closes at the first close"},
      {"FallingThreeMethods", five(b1, f2, f3, f4, f5), -1.0},
      {"FallingThreeMethods", five(b1, f2, f3, f4, ohlc(11.3, 11.3, 9.4, 9.5)), 0.0,
       "fifth opens at the fourth close"},
      {"FallingThreeMethods", five(b1, f2, f3, ohlc(12, 12.5, 11.9, 12.3), f5), 0.0,
       "middle body bottom at the first high"},
      {"FallingThreeMethods", five(w1, r2, r3, r4, r5), 0.0, "rising figure"},
  });
}

TEST(ContinuationPatterns, MatHold) {
  const Candle w1 = ohlc(10, 12, 10, 12);  // pullback level 12 - 2 * 0.5 = 11
  const Candle m2 = ohlc(12.5, 12.8, 12.2, 12.7);
  const Candle m3 = ohlc(12.4, 12.5, 11.5, 12.0);
  const Candle m4 = ohlc(12.0, 12.3, 11.6, 12.2);
  const Candle m5 = ohlc(12.2, 13.2, 12.1, 13.0);
  expect_cases({
      {"MatHold", five(w1, m2, m3, m4, m5), 1.0},
      {"MatHold", five(w1, m2, ohlc(12.4, 12.5, 11, 12.0), m4, m5), 0.0,
       "lowest pause low exactly at the pullback level"},
      {"MatHold", five(w1, m2, ohlc(12.4, 12.5, 11.01, 12.0), m4, m5), 1.0,
       "lowest pause low just above the pullback level"},
      {"MatHold", five(w1, m2, m3, m4, ohlc(12.2, 13, 12.1, 12.8)), 0.0,
       "fifth closes at the highest high"},
      {"MatHold", five(w1, m2, m3, m4, ohlc(13.5, 13.5, 12.9, 13.0)), 0.0,
       "fifth black above the highs"},
      {"MatHold", five(w1, ohlc(12, 12.8, 12, 12.7), m3, m4, m5), 0.0,
       "second body bottom at the first close"},
      {"MatHold", five(w1, m2, ohlc(12.4, 12.5, 11.2, 11.3), m4, m5), 0.0, "middle body large"},
      {"MatHold", five(ohlc(10, 14.5, 10, 12), m2, m3, m4, m5), 0.0, "first body short"},
  });
}

TEST(LongWindowPatterns, Breakaway) {
  const std::vector<Candle> falling = {ohlc(20, 20, 18, 18), ohlc(17, 17.2, 15.5, 16),
                                       ohlc(15.8, 16, 15, 15.2), ohlc(15, 15.5, 14, 14.3)};
  const std::vector<Candle> rising = {ohlc(10, 12, 10, 12), ohlc(13, 14.5, 12.8, 14),
                                      ohlc(14.2, 15, 14, 14.8), ohlc(15, 16, 14.5, 15.7)};
  const auto with = [](std::vector<Candle> run, const Candle& last) {
    run.push_back(last);
    return run;
  };
  std::vector<Candle> white_third = falling;
  white_third[2] = ohlc(15.1, 16, 15, 15.8);
  expect_cases({
      {"Breakaway", with(falling, ohlc(14.5, 17.5, 14.5, 17.5)), 1.0},
      {"Breakaway", with(falling, ohlc(14.5, 17, 14.5, 17)), 0.0,
       "fifth closes at the second open"},
      {"Breakaway", with(falling, ohlc(14.5, 18, 14.5, 18)), 0.0,
       "fifth closes at the first close"},
      {"Breakaway", with(white_third, ohlc(14.5, 17.5, 14.5, 17.5)), 1.0,
       "colour of the third candle not tested"},
      {"Breakaway", with(rising, ohlc(15.5, 15.5, 12.5, 12.5)), -1.0},
      {"Breakaway", with(rising, ohlc(15.5, 15.5, 13, 13)), 0.0, "fifth closes at the second open"},
  });
}

TEST(LongWindowPatterns, LadderBottom) {
  const std::vector<Candle> ladder = {ohlc(20, 20.5, 18.5, 19), ohlc(19.5, 19.6, 17.5, 18),
                                      ohlc(18.5, 18.6, 16.5, 17)};
  const auto with = [&](const Candle& c4, const Candle& c5) {
    std::vector<Candle> run = ladder;
    run.push_back(c4);
    run.push_back(c5);
    return run;
  };
  const Candle c4 = ohlc(17, 17.5, 15.5, 16);
  expect_cases({
      {"LadderBottom", with(c4, ohlc(17.2, 18, 17.1, 17.8)), 1.0},
      {"LadderBottom", with(ohlc(17, 17, 15.5, 16), ohlc(17.2, 18, 17.1, 17.8)), 0.0,
       "fourth high equal to its open"},
      {"LadderBottom", with(c4, ohlc(17.2, 18, 17.1, 17.5)), 0.0,
       "fifth closes at the fourth high"},
      {"LadderBottom", with(c4, ohlc(17, 18, 17, 17.8)), 0.0, "fifth opens at the fourth open"},
      {"LadderBottom", with(ohlc(17, 17.5, 15.5, 17.2), ohlc(17.2, 18, 17.1, 17.8)), 0.0,
       "fourth white"},
      {"LadderBottom", {ladder[0], ladder[1], ohlc(16.5, 18.6, 16.5, 17), c4,
                        ohlc(17.2, 18, 17.1, 17.8)},
       0.0,
       "third white"},
  });
}

TEST(LongWindowPatterns, ConcealingBabySwallow) {
  const Candle m1 = ohlc(20, 20, 18, 18);
  const Candle m2 = ohlc(18, 18, 16, 16);
  const Candle c3 = ohlc(15.5, 16.5, 14.5, 15);
  const Candle c4 = ohlc(17, 17, 14, 14.2);
  // Ranges of 20: shadows of exactly 0.05 of the range are 1.
  const Candle s1 = ohlc(39, 40, 20, 21);
  const Candle s2 = ohlc(19, 20, 0, 1);
  expect_cases({
      {"ConcealingBabySwallow", {m1, m2, c3, c4}, 1.0},
      {"ConcealingBabySwallow", {s1, s2, ohlc(0.8, 1.5, 0.2, 0.5), ohlc(2, 2, 0.1, 0.1)}, 1.0,
       "shadows of exactly 0.05 of the range"},
      {"ConcealingBabySwallow", {ohlc(38.9, 40, 20, 21), s2, ohlc(0.8, 1.5, 0.2, 0.5),
                                 ohlc(2, 2, 0.1, 0.1)},
       0.0,
       "first upper shadow longer"},
      {"ConcealingBabySwallow", {s1, ohlc(19, 20, 0, 1.1), ohlc(0.8, 1.5, 0.2, 0.5),
                                 ohlc(2, 2, 0.1, 0.1)},
       0.0,
       "second lower shadow longer"},
      {"ConcealingBabySwallow", {m1, m2, ohlc(15.5, 16, 14.5, 15), c4}, 0.0,
       "third high at the second close"},
      {"ConcealingBabySwallow", {m1, m2, c3, ohlc(16.5, 16.5, 14, 14.2)}, 0.0,
       "fourth opens at the third high"},
      {"ConcealingBabySwallow", {m1, m2, c3, ohlc(17, 17, 14.5, 14.5)}, 0.0,
       "fourth closes at the third low"},
  });
}

}  // namespace
}  // namespace fendro::testing::patterns
