// Window pattern detectors and the Heikin-Ashi family.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "indicators/chart/chart_testing.hpp"

namespace fendro::testing::chart {
namespace {

TEST(WindowPatterns, PeakOrTroughMustSitInTheMiddle) {
  // Period 8 (q = 2): an extreme at positions 2 .. 5 can signal.
  for (std::size_t k = 0; k < 8; ++k) {
    std::vector<double> top(8, 10.0), bottom(8, 10.0);
    top[k] = 12;
    bottom[k] = 8;
    if (k != 7) {
      top[7] = 9;
      bottom[7] = 11;
    }
    const bool middle = k >= 2 && k <= 5;
    Values want_top(7, kNone), want_bottom(7, kNone);
    want_top.push_back(middle ? -1.0 : 0.0);
    want_bottom.push_back(middle ? 1.0 : 0.0);
    expect_cases({{"DumplingTop", {8}, flat_closes(top), want_top},
                  {"FryPanBottom", {8}, flat_closes(bottom), want_bottom}});
  }
  // A second occurrence of the maximum does not move its position.
  expect_cases({{"DumplingTop", {8}, flat_closes({10, 12, 10, 12, 10, 10, 10, 9}),
                 {kNone, kNone, kNone, kNone, kNone, kNone, kNone, 0.0}}});
}

TEST(WindowPatterns, RunsCrossesAndLineBreaks) {
  expect_cases({
      {"NewPriceLines",
       {3},
       flat_closes({10, 11, 12, 13, 14, 14, 13, 12, 11}),
       {kNone, 0.0, 0.0, -1.0, -1.0, 0.0, 0.0, 0.0, 1.0}},
      {"PivotReversal",
       {2, 1},
       {bar(10, 9, 9.5), bar(11, 9.5, 10), bar(13, 10, 12), bar(12, 11, 11.5),
        bar(14, 12, 13.5), bar(15, 13, 14.5)},
       {kNone, kNone, kNone, 0.0, 1.0, 0.0}},
      {"PivotReversal",
       {1, 1},
       {bar(12, 10, 11), bar(11, 8, 9), bar(12, 9, 11), bar(9, 7, 7.5), bar(9, 6, 7)},
       {kNone, kNone, 0.0, -1.0, 0.0},
       "the low pivot is kept"},
      {"ThreeLineBreak",
       {3},
       flat_closes({10, 11, 12, 13, 12, 10.5, 11, 14}),
       {kNone, 1.0, 1.0, 1.0, 1.0, -1.0, -1.0, 1.0}},
      {"ThreeLineBreak", {3}, flat_closes({10, 10, 9}), {kNone, kNone, -1.0}},
  });
}

TEST(HeikinAshi, AveragedCandles) {
  const auto rows = output_rows("HeikinAshi", {},
                                {Candle{0, 10, 14, 8, 12, 1}, Candle{0, 20, 22, 19, 21, 1}});
  expect_rows(rows, {{11, 14, 8, 11}, {11, 22, 11, 20.5}}, "HeikinAshi");

  const auto smoothed =
      output_rows("SmoothedHeikinAshi", {3},
                  {Candle{0, 10, 12, 9, 11, 1}, Candle{0, 11, 13, 10, 12, 1},
                   Candle{0, 12, 14, 11, 13, 1}});
  expect_rows(smoothed, {{}, {}, {11.5, 13, 10, 11.5}}, "SmoothedHeikinAshi");

  expect_cases({{"HeikinAshiOscillator", {3}, flat_closes({10, 10, 10, 10}),
                 {kNone, kNone, 0.0, 0.0}}});
}

// d = ha_close - ha_open: 0, 9.5, 5.75; the average of period 2 seeds on the
// mean of the first two, then weighs the newest by 2/3.
TEST(HeikinAshi, OscillatorSmoothsCloseMinusOpen) {
  const Values got = key_values("HeikinAshiOscillator", {2},
                                {Candle{0, 10, 14, 8, 12, 1}, Candle{0, 20, 22, 19, 21, 1},
                                 Candle{0, 21, 23, 20, 22, 1}});
  expect_values(got, {kNone, 4.75, 65.0 / 12}, "HeikinAshiOscillator", 1e-12);
}

TEST(HeikinAshi, HugePricesDoNotOverflowTheOpen) {
  const double big = 1.5e308;
  const Values got =
      key_values("HeikinAshi", {}, {Candle{0, big, 1.6e308, 1.4e308, big, 1}});
  ASSERT_TRUE(got[0].has_value());
  EXPECT_EQ(*got[0], big);
}

}  // namespace
}  // namespace fendro::testing::chart
