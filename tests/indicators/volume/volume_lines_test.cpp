// The running volume lines and the per-bar volume measures on hand-computed
// bars.
#include <gtest/gtest.h>

#include <vector>

#include "indicators/volume/volume_testing.hpp"

namespace fendro::testing {
namespace {

using voltest::closes_volumes;
using voltest::ohlcv;

TEST(VolumeLines, HandComputedSeries) {
  const std::vector<Candle> ranged = {ohlcv(10, 12, 8, 11, 100), ohlcv(10, 10, 10, 10, 50)};
  voltest::check_candle_cases({
      {"obv up, level, down", "Obv", {}, closes_volumes({10, 11, 11, 9}, {5, 7, 3, 2}), {0.0, 7.0, 7.0, 5.0}},
      // Volume up 100 -> 200 moves Pvi by +10%, equal volume moves neither,
      // volume down moves Nvi by -50%.
      {"pvi", "Pvi", {}, closes_volumes({10, 11, 12, 6}, {100, 200, 200, 100}), {1000.0, 1100.0, 1100.0, 1100.0}},
      {"nvi", "Nvi", {}, closes_volumes({10, 11, 12, 6}, {100, 200, 200, 100}), {1000.0, 1000.0, 1000.0, 500.0}},
      // After a close of 0 the next relative change is not taken.
      {"nvi after a zero close", "Nvi", {}, closes_volumes({6, 0, 5}, {100, 50, 10}), {1000.0, 0.0, 0.0}},
      {"vpt after a zero close", "VolumePriceTrend", {}, closes_volumes({10, 0, 5}, {1, 2, 3}), {0.0, -2.0, -2.0}},
      // Close at 3/4 of the range: half the volume; a bar without range adds 0.
      {"adl", "Adl", {}, ranged, {50.0, 50.0}},
      {"intraday intensity", "IntradayIntensity", {}, ranged, {50.0, 0.0}},
      {"facilitation", "MarketFacilitationIndex", {},
       {ohlcv(10, 12, 10, 11, 4), ohlcv(10, 12, 10, 11, 0)}, {0.5, kNone}},
      // Up close: from the true low; down close: from the true high; equal: 0.
      {"williams a/d", "Wad", {},
       {ohlcv(10, 11, 9, 10, 1), ohlcv(11, 12, 10.5, 11.5, 1), ohlcv(11, 11.8, 10, 10.2, 1),
        ohlcv(10.2, 10.5, 10, 10.2, 1)},
       {kNone, 1.5, 1.5 + (10.2 - 11.8), 1.5 + (10.2 - 11.8)}},
      // The direction holds until a move beyond min_tick.
      {"trade volume index", "TradeVolumeIndex", {0.5},
       closes_volumes({10, 10.2, 10.9, 10.8, 10.1}, {1, 2, 3, 4, 5}), {kNone, 0.0, 3.0, 7.0, 2.0}},
      {"trade volume index, zero tick", "TradeVolumeIndex", {0.0},
       closes_volumes({10, 10, 10.1, 10.1}, {1, 2, 3, 4}), {kNone, 0.0, 3.0, 7.0}},
  });
}

TEST(VolumeLines, AdOscillatorComparesTheLineWithItsThirteenBarMean) {
  // Closes rising by 1 add 1 a bar: the lines are 0 (none), 1, 2, ...; the
  // 14th bar's line 13 stands 6 above the mean of 1 ..= 13.
  std::vector<Candle> bars;
  for (int i = 0; i < 16; ++i) bars.push_back(flat(10.0 + i));
  Values want(13, kNone);
  want.insert(want.end(), {6.0, 6.0, 6.0});
  expect_values(key_values("AdOscillator", {}, bars), want, "ad oscillator");
}

TEST(VolumeLines, ARejectedCandleKeepsThePreviousClose) {
  // Low above the close: dropped, so the next bar compares with 10.
  const Candle bad = ohlcv(12, 13, 12.5, 12, 9);
  const std::vector<Candle> bars = {ohlcv(10, 10, 10, 10, 5), bad, ohlcv(11, 11, 11, 11, 7)};
  expect_values(key_values("Obv", {}, bars), {0.0, kNone, 7.0}, "obv");
  expect_values(key_values("Pvi", {}, bars), {1000.0, kNone, 1100.0}, "pvi");
  expect_values(key_values("Wad", {}, bars), {kNone, kNone, 1.0}, "wad");
}

}  // namespace
}  // namespace fendro::testing
