// Floor pivots and the window-based levels on hand-built candles.
#include <gtest/gtest.h>

#include <vector>

#include "indicators/levels/levels_testing.hpp"

namespace fendro::testing {
namespace {

TEST(FloorPivots, LevelsOfOneCandle) {
  const Candle bar = hl(110, 100);  // close (and open) 105
  const Candle flat50 = flat(50);
  const LevelCase cases[] = {
      {"ClassicPivots", {}, {bar}, {105, 110, 115, 120, 100, 95, 90}},
      {"WoodiePivots", {}, {bar}, {105, 110, 115, 100, 95}},
      // The close counts twice and the open not at all: pp = (216 + 210) / 4.
      {"WoodiePivots", {}, {ohlc(102, 110, 100, 108)}, {106.5, 113, 116.5, 103, 96.5}},
      {"WoodiePivots", {}, {ohlc(108, 110, 100, 102)}, {103.5, 107, 113.5, 97, 93.5}},
      {"FibonacciPivots", {}, {bar}, {105, 108.82, 111.18, 115, 101.18, 98.82, 95}},
      {"DemarkPivots", {}, {bar}, {105, 110, 100}},                        // doji
      {"DemarkPivots", {}, {ohlc(108, 110, 100, 105)}, {103.75, 107.5, 97.5}},  // down
      {"DemarkPivots", {}, {ohlc(102, 110, 100, 105)}, {106.25, 112.5, 102.5}},  // up
      {"CentralPivotRange", {}, {bar}, {105, 105, 105}},
      {"CentralPivotRange", {}, {ohlc(105, 110, 100, 108)}, {106, 107, 105}},
      {"CentralPivotRange", {}, {ohlc(105, 110, 100, 102)}, {104, 105, 103}},
      {"Camarilla",
       {},
       {bar},
       {105, 105 + 11.0 / 12, 105 + 11.0 / 6, 107.75, 110.5, 105 - 11.0 / 12, 105 - 11.0 / 6,
        102.25, 99.5}},
      // Only the current candle counts.
      {"ClassicPivots", {}, {hl(500, 1), bar}, {105, 110, 115, 120, 100, 95, 90}},
      {"ClassicPivots", {}, {flat50}, {50, 50, 50, 50, 50, 50, 50}},
      {"WoodiePivots", {}, {flat50}, {50, 50, 50, 50, 50}},
      {"FibonacciPivots", {}, {flat50}, {50, 50, 50, 50, 50, 50, 50}},
      {"DemarkPivots", {}, {flat50}, {50, 50, 50}},
      {"CentralPivotRange", {}, {flat50}, {50, 50, 50}},
      {"Camarilla", {}, {flat50}, {50, 50, 50, 50, 50, 50, 50, 50, 50}},
  };
  expect_level_cases(cases);
}

TEST(WindowLevels, MurreyAndVolumeWeighted) {
  const auto vol = [](double h, double l, double v) { return Candle{0, l, h, l, h, v}; };
  const LevelCase cases[] = {
      {"MurreyMathLines", {3}, {hl(104, 100), hl(108, 103)}, {}},
      {"MurreyMathLines",
       {3},
       {hl(104, 100), hl(108, 103), hl(105, 101)},
       {108, 107, 106, 105, 104, 103, 102, 101, 100}},
      // The 108 and the 100 have left the window of two.
      {"MurreyMathLines",
       {2},
       {hl(104, 100), hl(108, 103), hl(105, 101), hl(104, 102)},
       {105, 104.5, 104, 103.5, 103, 102.5, 102, 101.5, 101}},
      {"MurreyMathLines", {1}, {flat(7)}, {7, 7, 7, 7, 7, 7, 7, 7, 7}},
      {"VolumeWeightedSr", {2}, {vol(10, 8, 1)}, {}},
      {"VolumeWeightedSr", {2}, {vol(10, 8, 1), vol(12, 10, 3)}, {9.5, 11.5}},
      {"VolumeWeightedSr", {2}, {vol(10, 8, 1), vol(12, 10, 3), vol(11, 9, 0)}, {10, 12}},
      {"VolumeWeightedSr", {2}, {vol(10, 8, 0), vol(12, 10, 0)}, {9, 11}},
  };
  expect_level_cases(cases);
}

TEST(WindowLevels, PitchforkThroughThreeAlternatingPivots) {
  // Pivot high 100 (bar 1), low 90 (bar 3), high 98 (bar 5), span 1.
  const std::vector<Candle> base = {hl(95, 93), hl(100, 94), hl(96, 92), hl(93, 90),
                                    hl(95, 91), hl(98, 93),  hl(96, 92)};
  auto with = [&base](std::size_t at, Candle c) {
    auto bars = base;
    bars[at] = c;
    return bars;
  };
  const std::vector<Candle> first_pivot_replaced = {
      hl(95, 93), hl(100, 94), hl(96, 94.5), hl(102, 95), hl(97, 96),
      hl(94, 90), hl(96, 92),  hl(99, 93),   hl(95, 94)};
  auto lower_second_high = first_pivot_replaced;
  lower_second_high[3] = hl(99, 95);
  const LevelCase cases[] = {
      {"AndrewsPitchfork", {1}, base, {90, 96, 84}},
      {"AndrewsPitchfork", {1}, {base.begin(), base.end() - 1}, {}},
      // The lines move with the bar: the median falls by the slope.
      {"AndrewsPitchfork", {1}, [&] { auto b = base; b.push_back(hl(96, 92)); return b; }(),
       {88, 94, 82}},
      // Equal highs in the window make no pivot; nor does an outside bar.
      {"AndrewsPitchfork", {1}, with(2, hl(100, 92)), {}},
      {"AndrewsPitchfork", {1}, with(1, hl(100, 80)), {}},
      // A second high without a low between replaces only a lower first one.
      {"AndrewsPitchfork", {1}, first_pivot_replaced, {89.5, 96.5, 82.5}},
      {"AndrewsPitchfork", {1}, lower_second_high, {92.3, 97.9, 86.7}},
  };
  expect_level_cases(cases);
}

}  // namespace
}  // namespace fendro::testing
