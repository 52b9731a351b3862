// Volume profiles and their features on hand-built windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "indicators/volume/volume_testing.hpp"

namespace fendro::testing {
namespace {

using voltest::span;

// The named outputs after running the bars through a fresh indicator.
std::vector<double> outputs_after(const char* key, const std::vector<double>& params,
                                  const std::vector<Candle>& bars) {
  auto ind = make(key, params);
  for (const Candle& c : bars) step(*ind, c);
  return voltest::last_outputs(*ind);
}

TEST(VolumeProfiles, OutputsOfHandBuiltWindows) {
  struct Case {
    const char* what;
    const char* key;
    std::vector<double> params;
    std::vector<Candle> bars;
    std::vector<double> want;
  };
  // Bins of 5: [0, 10] puts 5 in each, [5, 10] 10 in the upper one.
  const std::vector<Candle> two = {span(0, 10, 10), span(5, 10, 10)};
  // Bins 10, 13, 10: equal neighbours around the point of control.
  const std::vector<Candle> tie = {span(0, 3, 30), span(1, 1.5, 3)};
  const std::vector<Candle> level = {span(100, 100, 5), span(100, 100, 7)};
  // Volume only in the lowest of ten bins.
  const std::vector<Candle> lone = {span(0, 0.5, 4), span(0, 10, 0)};
  const std::vector<Candle> dry = {span(0, 10, 0), span(5, 10, 0)};
  const Case cases[] = {
      {"poc of two bins", "ValueArea", {2, 2, 0.7}, two, {7.5, 10.0, 5.0}},
      {"area of every bin", "ValueArea", {2, 2, 1.0}, two, {7.5, 10.0, 0.0}},
      {"centres", "CompositeProfile", {2, 2, 0.7}, two, {7.5, 7.5, 7.5}},
      {"centres, every bin", "CompositeProfile", {2, 2, 1.0}, two, {7.5, 7.5, 2.5}},
      {"a tie goes up", "ValueArea", {2, 3, 0.6}, tie, {1.5, 3.0, 1.0}},
      {"a tie goes up, centres", "CompositeProfile", {2, 3, 0.6}, tie, {1.5, 2.5, 1.5}},
      {"then down", "ValueArea", {2, 3, 0.75}, tie, {1.5, 3.0, 0.0}},
      {"equal largest bins: the lower", "ValueArea", {1, 2, 0.5}, {span(0, 10, 10)}, {2.5, 5.0, 0.0}},
      {"flat window", "ValueArea", {2, 24, 0.7}, level, {100.0, 100.0, 100.0}},
      {"flat window, centres", "CompositeProfile", {2, 24, 0.7}, level, {100.0, 100.0, 100.0}},
      {"no volume", "ValueArea", {2, 2, 0.7}, dry, {2.5, 5.0, 0.0}},
      {"nodes", "HighLowVolumeNodes", {2, 2}, two, {7.5, 2.5}},
      {"nodes, one bin with volume", "HighLowVolumeNodes", {2, 10}, lone, {0.5, 0.5}},
      {"nodes, no volume", "HighLowVolumeNodes", {2, 2}, dry, {2.5, 2.5}},
      {"nodes, flat window", "HighLowVolumeNodes", {2, 24}, level, {100.0, 100.0}},
      {"range", "VolumeProfile", {2, 7}, {span(3, 4, 1), span(1, 2, 1), span(5, 9, 1)}, {1.0, 9.0}},
      {"range by time", "TpoProfile", {2, 3}, {span(3, 4, 1), span(1, 2, 1), span(5, 9, 1)}, {1.0, 9.0}},
      {"range, flat window", "TpoProfile", {2, 1}, level, {100.0, 100.0}},
  };
  for (const Case& c : cases) {
    const std::vector<double> got = outputs_after(c.key, c.params, c.bars);
    ASSERT_EQ(got.size(), c.want.size()) << c.what;
    for (std::size_t k = 0; k < got.size(); ++k) EXPECT_DOUBLE_EQ(got[k], c.want[k]) << c.what << " " << k;
  }
}

// Both ranges return the window's low; the bins change nothing.
TEST(VolumeProfiles, RangeValuesAreTheWindowLow) {
  const std::vector<Candle> bars = {span(3, 4, 1), span(1, 2, 1), span(5, 9, 0), span(6, 7, 2)};
  for (const char* key : {"VolumeProfile", "TpoProfile"}) {
    for (double bins : {1.0, 7.0}) {
      expect_values(key_values(key, {2, bins}, bars), {kNone, 1.0, 1.0, 5.0}, key);
    }
  }
}

TEST(VolumeProfiles, ValueAreaStopsAtTheEndsDespiteRounding) {
  // Bins 0.2, 0.9, 0.6: the total adds up to 1.7000000000000002 in index
  // order, the area to 1.7 in the order it grows; with the whole volume as
  // target the area must still stop once it spans every bin.
  const std::vector<double> got = outputs_after(
      "ValueArea", {3, 3, 1.0}, {span(0, 0.5, 0.2), span(1.2, 1.8, 0.9), span(2.2, 3, 0.6)});
  EXPECT_EQ(got, (std::vector<double>{1.5, 3.0, 0.0}));
}

TEST(VolumeProfiles, ExtremeRangesGiveNoUndefinedBins) {
  // The width overflows (range above the largest double) or underflows to 0.
  for (const std::vector<Candle>& bars :
       {std::vector<Candle>{span(-1e308, 1e308, 1), span(0, 1, 1)},
        std::vector<Candle>{span(0, 0, 1), span(0, 5e-324, 3)}}) {
    for (const char* key : {"ValueArea", "CompositeProfile", "HighLowVolumeNodes", "NakedPoc",
                            "ProfileShape", "SinglePrints"}) {
      const bool pct = key == std::string("ValueArea") || key == std::string("CompositeProfile");
      auto ind = make(key, pct ? std::vector<double>{2, 3, 0.7} : std::vector<double>{2, 3});
      step(*ind, bars[0]);
      EXPECT_TRUE(step(*ind, bars[1]).has_value()) << key;
    }
  }
  // Underflowed width: the low maps to the first bin, the high to the last.
  EXPECT_EQ(key_values("SinglePrints", {2, 3}, {span(0, 0, 1), span(0, 5e-324, 3)}).back(), 2.0);
}

TEST(ProfileFeatures, NakedPointsOfControl) {
  const Values got = key_values(
      "NakedPoc", {2, 2},
      {span(0, 10, 10), span(5, 10, 10),                     // block 1: poc 7.5
       voltest::ohlcv(1, 2, 1, 1.5, 10),                     // 7.5 untouched
       voltest::ohlcv(2, 3, 2, 2.5, 10),                     // block 2: poc 2.5
       voltest::ohlcv(5, 5.1, 4.9, 5, 10),                   // 7.5 and 2.5 equally near: the older
       voltest::ohlcv(7, 8, 7, 7.5, 10)});                   // covers 7.5; block 3: poc 5.675
  expect_values(got, {kNone, 7.5, 7.5, 2.5, 7.5, 4.9 + (8.0 - 4.9) / 2 * 0.5}, "naked poc");
}

TEST(ProfileFeatures, NakedPocFallsBackToTheClose) {
  // Bar 3 trades through the only listed price.
  expect_values(key_values("NakedPoc", {2, 2},
                                   {span(0, 10, 10), span(5, 10, 10), voltest::ohlcv(7, 8, 7, 7.2, 1)}),
                {kNone, 7.5, 7.2}, "emptied");
  // A flat block lists its one price.
  expect_values(key_values("NakedPoc", {1, 3},
                                   {voltest::ohlcv(50, 50, 50, 50, 1), voltest::ohlcv(50, 51, 49, 50, 1)}),
                {50.0, 49.0 + (2.0 / 3.0) * 0.5}, "flat block");
}

TEST(ProfileFeatures, ShapeByThirds) {
  // A wide bar spreads 1 per bin; a narrow bar inside bin k makes k the
  // point of control.
  struct Case {
    double bins;
    double k;
    double want;
  };
  const Case cases[] = {
      {3, 0, -1.0}, {3, 1, 0.0}, {3, 2, 1.0}, {5, 0, -1.0}, {5, 1, 0.0},
      {5, 2, 0.0},  {5, 3, 0.0}, {5, 4, 1.0}, {6, 1, -1.0}, {6, 4, 1.0},
  };
  for (const Case& c : cases) {
    const Values got = key_values(
        "ProfileShape", {2, c.bins}, {span(0, c.bins, c.bins), span(c.k + 0.2, c.k + 0.8, 1)});
    expect_values(got, {kNone, c.want}, "bins " + std::to_string(c.bins) + " k " + std::to_string(c.k));
  }
  // Flat or dry windows keep the point of control in bin 0.
  expect_values(key_values("ProfileShape", {2, 3}, {span(5, 5, 1), span(5, 5, 1)}),
                {kNone, -1.0}, "flat");
  expect_values(key_values("ProfileShape", {2, 3}, {span(0, 5, 0), span(4, 5, 0)}),
                {kNone, -1.0}, "dry");
}

TEST(ProfileFeatures, SinglePrints) {
  struct Case {
    const char* what;
    std::vector<double> params;
    std::vector<Candle> bars;
    double want;
  };
  const Case cases[] = {
      {"two bins", {2, 2}, {span(0, 10, 10), span(5, 10, 10)}, 1.0},
      {"bars without volume count", {2, 4}, {span(0, 4, 0), span(3, 4, 0)}, 3.0},
      {"flat window", {2, 3}, {span(5, 5, 1), span(5, 5, 1)}, 0.0},
      {"rolling", {2, 10}, {span(0, 100, 1), span(0, 1, 1), span(9, 10, 1)}, 3.0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(key_values("SinglePrints", c.params, c.bars).back(), c.want) << c.what;
  }
}

}  // namespace
}  // namespace fendro::testing
