// Setup and countdown counts and the sequential-style price levels.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "indicators/chart/chart_testing.hpp"

namespace fendro::testing::chart {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A buy setup of two bars completes on bar 3 (close 97, which also counts
// as countdown bar 1 and sets the reference close); a rally that completes
// no sell setup; qualifying bars up to bar 9; bar 10 qualifies but its low
// stays above the reference; bar 11 completes the countdown; bars 13 and 14
// complete a sell setup with no qualifying bar.
const std::vector<Candle> kCountdownBars = {
    bar(101, 99, 100), bar(100, 98, 99),  bar(99, 97, 98),     bar(98, 96, 97),
    bar(120, 110, 115), bar(116, 105, 106), bar(108, 100, 104), bar(110, 100, 101),
    bar(101, 98, 99),  bar(100, 98, 99),  bar(99, 97.5, 98),   bar(98, 96, 97),
    bar(97, 95, 96),   bar(96.5, 95.5, 96.5), bar(97, 96.5, 96.8)};

TEST(Sequential, CountsOnAHandWorkedSeries) {
  // Lookbacks 1 (setup) and 2 (countdown), setup count 2, countdown count 6.
  const std::vector<double> p = {1, 2, 2, 6};
  expect_cases({
      {"TdCountdown", p, kCountdownBars,
       {kNone, kNone, 0.0, 1.0, 1.0, 1.0, 2.0, 3.0, 4.0, 5.0, 5.0, 6.0, 6.0, 6.0, -0.0}},
      {"TdCombo", p, kCountdownBars,
       {kNone, kNone, 0.0, 1.0, 1.0, 1.0, 2.0, 3.0, 4.0, 4.0, 5.0, 6.0, 6.0, 6.0, -0.0}},
      {"TdSequential", p, kCountdownBars,
       {kNone, kNone, 1.0, 2.0, -1.0, 1.0, 2.0, 2.0, 2.0, 0.0, 1.0, 2.0, 2.0, -1.0, -2.0}},
      // Without the reference rule (count 5) bar 10 completes the countdown.
      {"TdCountdown", {1, 2, 2, 5}, kCountdownBars,
       {kNone, kNone, 0.0, 1.0, 1.0, 1.0, 2.0, 3.0, 4.0, 5.0, 5.0, 5.0, 5.0, 5.0, -0.0}},
  });
}

TEST(Sequential, DirectionAndCountdownOutputs) {
  const auto rows = output_rows("TdSequential", {1, 2, 2, 6}, kCountdownBars);
  EXPECT_TRUE(rows[1].empty());
  expect_rows({rows[2], rows[3], rows[13], rows[14]},
              {{1, 0, 0}, {2, 1, 1}, {-1, 6, 1}, {-2, -0.0, -1}}, "TdSequential");
  EXPECT_TRUE(std::signbit(rows[14][1]));
}

TEST(Sequential, SetupCountsCapAndReset) {
  std::vector<double> closes = {20, 20, 20, 20};
  for (int i = 1; i <= 10; ++i) closes.push_back(20 - i);  // each below the close 4 back
  closes.push_back(closes[closes.size() - 4]);            // equal to the close 4 back
  closes.push_back(100);
  Values want(4, kNone);
  for (int i = 1; i <= 10; ++i) want.push_back(std::min(i, 9));
  want.push_back(0.0);
  want.push_back(-1.0);
  expect_cases({{"TdSetup", {4, 9}, flat_closes(closes), want}});
}

TEST(SequentialLevels, LinesAndRiskLevels) {
  const std::vector<Candle> bars = {bar(11, 9, 10),  bar(10, 8, 9),  bar(12, 7, 8),
                                    bar(13, 6, 7),   bar(9, 6.5, 8), bar(10, 7, 9),
                                    bar(10, 8, 9)};
  expect_rows(output_rows("TdLines", {1, 2}, bars),
              {{}, {}, {12, kNaN}, {13, kNaN}, {13, kNaN}, {13, 6.5}, {13, 6.5}}, "TdLines");
  expect_rows(output_rows("TdRiskLevel", {1, 2}, bars),
              {{}, {}, {2, kNaN}, {-1, kNaN}, {-1, kNaN}, {-1, 13}, {-1, 13}}, "TdRiskLevel");
  // The value is the first output, NaN while only the second side exists.
  const std::vector<Candle> up = {bar(11, 9, 10), bar(12, 10, 11), bar(13, 11, 12)};
  const Values lines = key_values("TdLines", {1, 2}, up);
  ASSERT_TRUE(lines[2].has_value());
  EXPECT_TRUE(std::isnan(*lines[2]));
}

TEST(SequentialLevels, AveragesAndProjection) {
  const std::vector<Candle> bars = {bar(2, 0, 1), bar(4, 2, 3), bar(6, 4, 5), bar(8, 6, 7),
                                    bar(10, 8, 9), bar(12, 10, 11)};
  expect_rows(output_rows("TdMovingAverage", {3, 5}, bars),
              {{}, {}, {}, {}, {7, 5}, {9, 7}}, "TdMovingAverage");
  expect_rows(output_rows("TdRangeProjection", {},
                          {Candle{0, 10, 12, 8, 11, 1}, Candle{0, 11, 12, 8, 10, 1},
                           Candle{0, 10, 12, 8, 10, 1}}),
              {{13.5, 9.5}, {11, 7}, {12, 8}}, "TdRangeProjection");
}

}  // namespace
}  // namespace fendro::testing::chart
