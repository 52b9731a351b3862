#include <gtest/gtest.h>

#include <vector>

#include "indicators/patterns/candle_cases.hpp"

namespace fendro::testing::patterns {
namespace {

// Both gap in the trend and read the third candle against the first two.
TEST(ContinuationPatterns, TasukiGapAndGapThreeMethods) {
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
TEST(ContinuationPatterns, ThreeMethodsAndMatHold) {
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
  const Candle m2 = ohlc(12.5, 12.8, 12.2, 12.7);
  const Candle m3 = ohlc(12.4, 12.5, 11.5, 12.0);
  const Candle m4 = ohlc(12.0, 12.3, 11.6, 12.2);
  const Candle m5 = ohlc(12.2, 13.2, 12.1, 13.0);
  expect_cases({
      {"RisingThreeMethods", {w1, r2, r3, r4, r5}, 1.0},
      {"RisingThreeMethods", {w1, r2, r3, ohlc(10, 10.2, 9.5, 9.7), r5}, 0.0,
       "middle body top at the first low"},
      {"RisingThreeMethods", {w1, r2, r3, ohlc(10.05, 10.2, 9.5, 9.7), r5}, 1.0,
       "middle body top just above the first low"},
      {"RisingThreeMethods", {w1, r2, ohlc(11.2, 11.6, 10.9, 11.2), r4, r5}, 0.0,
       "middle candle without body"},
      {"RisingThreeMethods", {w1, ohlc(12.4, 12.4, 11.3, 11.35), r3, r4, r5}, 0.0,
       "middle body above half the first"},
      {"RisingThreeMethods", {w1, r3, r2, r4, r5}, 0.0, "middle closes not falling"},
      {"RisingThreeMethods", {w1, r2, r3, r4, ohlc(10.7, 12.6, 10.7, 12.5)}, 0.0,
       "fifth opens at the fourth close"},
      {"RisingThreeMethods", {w1, r2, r3, r4, ohlc(11, 12, 11, 12)}, 0.0,
       "fifth closes at the first close"},
      {"FallingThreeMethods", {b1, f2, f3, f4, f5}, -1.0},
      {"FallingThreeMethods", {b1, f2, f3, f4, ohlc(11.3, 11.3, 9.4, 9.5)}, 0.0,
       "fifth opens at the fourth close"},
      {"FallingThreeMethods", {b1, f2, f3, ohlc(12, 12.5, 11.9, 12.3), f5}, 0.0,
       "middle body bottom at the first high"},
      {"FallingThreeMethods", {w1, r2, r3, r4, r5}, 0.0, "rising figure"},
      // MatHold: the pullback level is 12 - 2 * 0.5 = 11.
      {"MatHold", {w1, m2, m3, m4, m5}, 1.0},
      {"MatHold", {w1, m2, ohlc(12.4, 12.5, 11, 12.0), m4, m5}, 0.0,
       "lowest pause low exactly at the pullback level"},
      {"MatHold", {w1, m2, ohlc(12.4, 12.5, 11.01, 12.0), m4, m5}, 1.0,
       "lowest pause low just above the pullback level"},
      {"MatHold", {w1, m2, m3, m4, ohlc(12.2, 13, 12.1, 12.8)}, 0.0,
       "fifth closes at the highest high"},
      {"MatHold", {w1, m2, m3, m4, ohlc(13.5, 13.5, 12.9, 13.0)}, 0.0,
       "fifth black above the highs"},
      {"MatHold", {w1, ohlc(12, 12.8, 12, 12.7), m3, m4, m5}, 0.0,
       "second body bottom at the first close"},
      {"MatHold", {w1, m2, ohlc(12.4, 12.5, 11.2, 11.3), m4, m5}, 0.0, "middle body large"},
      {"MatHold", {ohlc(10, 14.5, 10, 12), m2, m3, m4, m5}, 0.0, "first body short"},
  });
}

}  // namespace
}  // namespace fendro::testing::patterns
