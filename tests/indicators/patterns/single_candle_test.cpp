#include <gtest/gtest.h>

#include <vector>

#include "indicators/patterns/candle_cases.hpp"

namespace fendro::testing::patterns {
namespace {

const std::vector<const char*> kShapes = {
    "Doji",         "DragonflyDoji", "GravestoneDoji",  "LongLeggedDoji",  "RickshawMan",
    "HighWave",     "Hammer",        "HangingMan",      "InvertedHammer",  "ShootingStar",
    "Takuri",       "Marubozu",      "SpinningTop",     "OpeningMarubozu", "ClosingMarubozu",
    "BeltHold",
};

TEST(SingleCandlePatterns, FlatCandleIsNoShapeAndZeroFeatures) {
  for (const char* key : kShapes) expect_case({key, {flat(5.0)}, 0.0});
  for (const char* key : {"ShadowRatio", "BodySizePct", "CloseVsOpen"}) {
    expect_case({key, {flat(5.0)}, 0.0});
  }
  // open = 0 is the one divisor of CloseVsOpen.
  expect_case({"CloseVsOpen", {flat(0.0)}, 0.0});
}

TEST(SingleCandlePatterns, ShapesAndFeatures) {
  const Candle hammer = ohlc(10, 10.5, 9, 10.5);  // lower shadow exactly 2 bodies
  const Candle inverted = ohlc(9, 11, 9, 9.5);
  expect_cases({
      {"CloseVsOpen", {ohlc(2, 3, 2, 3)}, 0.5},
      {"CloseVsOpen", {ohlc(4, 4, 2, 3)}, -0.25},
      {"CloseVsOpen", {ohlc(0, 1, 0, 1)}, 0.0, "open 0"},
      {"ShadowRatio", {ohlc(4, 10, 0, 5)}, 0.1},
      {"ShadowRatio", {ohlc(6, 10, 0, 10)}, -0.6},
      {"BodySizePct", {ohlc(4, 10, 0, 5)}, 0.1},
      {"BodySizePct", {ohlc(0, 10, 0, 10)}, 1.0},
      {"Doji", {ohlc(2, 10, 0, 3)}, 1.0, "body exactly a tenth of the range"},
      {"Doji", {ohlc(2, 10, 0, 3.0000001)}, 0.0, "just above"},
      {"Doji", {ohlc(3, 10, 0, 2)}, 1.0, "bearish doji is still +1"},
      {"DragonflyDoji", {ohlc(9.5, 10, 0, 9.5)}, 1.0},
      {"DragonflyDoji", {ohlc(9, 10, 0, 7.5)}, 0.0, "body above a tenth"},
      {"DragonflyDoji", {ohlc(0.5, 10, 0, 0.5)}, 0.0},
      // Body, upper and lower shadow fill the range: with a doji body, a lower
      // shadow of 0.45 leaves an upper one of 0.45, and the upper limit of a
      // tenth leaves a lower shadow of at least 0.8.
      {"DragonflyDoji", {ohlc(4.5, 10, 0, 5.5)}, 0.0, "lower shadow 0.45 range"},
      {"DragonflyDoji", {ohlc(8, 10, 0, 9)}, 1.0, "every limit met exactly"},
      {"DragonflyDoji", {ohlc(8.5, 10, 0, 8.5)}, 0.0, "upper shadow 0.15 range"},
      {"GravestoneDoji", {ohlc(0.5, 10, 0, 0.5)}, -1.0},
      {"GravestoneDoji", {ohlc(9.5, 10, 0, 9.5)}, 0.0},
      {"LongLeggedDoji", {ohlc(5, 10, 0, 5)}, 1.0},
      {"LongLeggedDoji", {ohlc(8, 10, 0, 8)}, 0.0, "upper shadow too short"},
      {"LongLeggedDoji", {ohlc(4, 10, 0, 6)}, 0.0, "body too large"},
      {"RickshawMan", {ohlc(3.5, 10, 0, 4.5)}, 1.0, "body position exactly 0.4"},
      {"RickshawMan", {ohlc(5.5, 10, 0, 6.5)}, 1.0, "body position exactly 0.6"},
      {"RickshawMan", {ohlc(6, 10, 0, 7)}, 0.0, "body position 0.65"},
      {"RickshawMan", {ohlc(7.5, 10, 0, 7.5)}, 0.0, "upper shadow below 0.3 range"},
      {"Takuri", {ohlc(9.8, 10, 0, 9.8)}, 1.0},
      {"Takuri", {ohlc(9.4, 10, 0, 9.4)}, 0.0, "upper shadow above 0.05 range"},
      {"Takuri", {ohlc(6.5, 10, 0, 6.5)}, 0.0, "lower shadow below 0.7 range"},
      {"HighWave", {ohlc(4, 10, 0, 6)}, 1.0, "no body test"},
      {"HighWave", {ohlc(3, 10, 0, 6)}, 0.0},
      {"Hammer", {hammer}, 1.0},
      {"HangingMan", {hammer}, -1.0},
      {"InvertedHammer", {hammer}, 0.0},
      {"ShootingStar", {hammer}, 0.0},
      {"InvertedHammer", {inverted}, 1.0},
      {"ShootingStar", {inverted}, -1.0},
      {"Hammer", {inverted}, 0.0},
      {"Hammer", {ohlc(10, 10, 9, 10)}, 0.0, "no body"},
      {"ShootingStar", {ohlc(9, 11, 9, 9)}, 0.0, "no body"},
      {"Hammer", {ohlc(10, 11.1, 9, 10.5)}, 0.0, "upper shadow above the body"},
      {"Marubozu", {ohlc(1, 19.5, 0.5, 19)}, 1.0},
      {"Marubozu", {ohlc(19, 19.5, 0.5, 1)}, -1.0},
      {"Marubozu", {ohlc(1, 19.5, 0, 19)}, 0.0, "lower shadow above 0.05 range"},
      {"SpinningTop", {ohlc(4.5, 10, 0, 5.5)}, 1.0},
      {"SpinningTop", {ohlc(5.5, 10, 0, 4.5)}, -1.0},
      {"SpinningTop", {ohlc(3, 10, 0, 7)}, 0.0, "body above 0.3 range"},
      {"SpinningTop", {ohlc(5, 10, 0, 5)}, 0.0, "no body"},
      {"SpinningTop", {ohlc(8, 10, 0, 9)}, 0.0, "upper shadow below twice the body"},
      {"SpinningTop", {ohlc(2, 10, 0, 1)}, 0.0, "lower shadow below twice the body"},
      {"OpeningMarubozu", {ohlc(10.05, 12, 10, 12)}, 1.0},
      {"OpeningMarubozu", {ohlc(10.2, 12, 10, 12)}, 0.0, "open too far above the low"},
      {"OpeningMarubozu", {ohlc(10, 10, 8, 8.5)}, -1.0},
      {"OpeningMarubozu", {ohlc(10, 12, 10, 11)}, 0.0, "body below 0.7 range"},
      {"ClosingMarubozu", {ohlc(2, 10, 0, 10)}, 1.0},
      {"ClosingMarubozu", {ohlc(8, 10, 0, 0.3)}, -1.0},
      {"ClosingMarubozu", {ohlc(8, 10, 0, 0.6)}, 0.0, "close too far above the low"},
      {"BeltHold", {ohlc(0.2, 10, 0, 6)}, 1.0},
      {"BeltHold", {ohlc(9.8, 10, 0, 4)}, -1.0},
      {"BeltHold", {ohlc(0.2, 10, 0, 5.1)}, 0.0, "body below half the range"},
      {"BeltHold", {ohlc(0.6, 10, 0, 9)}, 0.0, "open too far above the low"},
  });
}

// Five candles of range 2 before the one judged.
std::vector<Candle> after_five(const Candle& judged) {
  std::vector<Candle> cs(5, ohlc(10, 11.5, 9.5, 11));
  cs.push_back(judged);
  return cs;
}

TEST(RangeLines, RangeAgainstTheFivePrevious) {
  const auto then = [](const Candle& judged_first, const Candle& judged) {
    std::vector<Candle> cs = after_five(judged_first);
    cs.push_back(judged);
    return cs;
  };
  expect_cases({
      {"LongLine", after_five(ohlc(10, 13.5, 9.5, 13)), 1.0},
      {"LongLine", after_five(ohlc(13, 13.5, 9.5, 10)), -1.0},
      {"LongLine", after_five(ohlc(10, 11, 9, 10.9)), 0.0, "range equal to the mean"},
      {"LongLine", after_five(ohlc(10, 13.5, 9.5, 11.9)), 0.0, "body below half the range"},
      {"ShortLine", after_five(flat(10)), -1.0, "flat candle"},
      {"ShortLine", after_five(ohlc(10, 11, 10, 10.8)), 1.0},
      {"ShortLine", after_five(ohlc(10, 12, 10, 11.8)), 0.0, "range equal to the mean"},
      // The current range joins the window after the test: after a range of
      // 12 the mean of the next five ranges is (4 * 2 + 12) / 5 = 4.
      {"LongLine", then(ohlc(0, 12, 0, 12), ohlc(0, 4, 0, 4)), 0.0},
      {"LongLine", then(ohlc(0, 12, 0, 12), ohlc(0, 4.1, 0, 4.1)), 1.0},
  });
}

TEST(RangeLines, FirstValueOnTheSixthValidCandle) {
  for (const char* key : {"LongLine", "ShortLine"}) {
    auto ind = build_indicator(key, std::vector<double>{}).value();
    EXPECT_EQ(ind->warmup_period(), 5u);
    Candle bad = ohlc(10, 9, 11, 10);  // high below low
    const auto series = random_walk(7, 2);
    for (int i = 0; i < 5; ++i) {
      EXPECT_FALSE(step(*ind, series[i]).has_value()) << key << " " << i;
      if (i == 2) {
        EXPECT_FALSE(step(*ind, bad).has_value()) << key;
      }
    }
    EXPECT_TRUE(step(*ind, series[5]).has_value()) << key;
  }
}

}  // namespace
}  // namespace fendro::testing::patterns
