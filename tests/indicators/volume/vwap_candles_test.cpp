// The VWAP family and the volume-shaped candles on hand-computed bars.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "indicators/volume/volume_testing.hpp"

namespace fendro::testing {
namespace {

using voltest::ohlcv;

// A flat candle (typical price = close) at a time in milliseconds.
Candle at(double close, double volume, std::int64_t time = 0) {
  return ohlcv(close, close, close, close, volume, time);
}

constexpr std::int64_t kMinute = 60000;
constexpr std::int64_t kDay = 1440 * kMinute;

TEST(Vwap, HandComputedSeries) {
  voltest::check_candle_cases({
      {"no volume yet", "Vwap", {}, {at(10, 0), at(20, 1), at(30, 3)}, {kNone, 20.0, 27.5}},
      {"anchored", "AnchoredVwap", {}, {at(10, 0), at(20, 1), at(30, 3)}, {kNone, 20.0, 27.5}},
      {"typical price", "Vwap", {}, {ohlcv(10, 13, 8, 12, 2)}, {11.0}},
      {"rolling", "RollingVwap", {3}, {at(10, 1), at(20, 1), at(30, 2), at(40, 0)},
       {kNone, kNone, 22.5, 80.0 / 3.0}},
      {"rolling without volume", "RollingVwap", {2}, {at(10, 0), at(20, 0), at(30, 1)},
       {kNone, kNone, 30.0}},
      // Midnight UTC splits the sessions at offset 0 ...
      {"session at midnight", "SessionVwap", {0},
       {at(10, 1, kDay - kMinute), at(20, 1, kDay), at(30, 1, kDay + kMinute)}, {10.0, 20.0, 25.0}},
      // ... and 23:00 UTC at +60 minutes.
      {"session at +60", "SessionVwap", {60},
       {at(10, 1, kDay - 61 * kMinute), at(20, 1, kDay - 60 * kMinute)}, {10.0, 20.0}},
      {"session at 0, same day", "SessionVwap", {0},
       {at(10, 1, kDay - 61 * kMinute), at(20, 1, kDay - 60 * kMinute)}, {10.0, 15.0}},
      {"session going back a day", "SessionVwap", {0}, {at(10, 1, kDay), at(20, 1, 0)}, {10.0, 20.0}},
      // -1 ms lies on 1969-12-31.
      {"session before the epoch", "SessionVwap", {0}, {at(10, 1, -1), at(20, 1, 0)}, {10.0, 20.0}},
      {"session without volume", "SessionVwap", {-300}, {at(10, 0), at(20, 0)}, {10.0, 20.0}},
  });
}

TEST(Vwap, AnchoredEqualsCumulativeBitForBit) {
  const auto bars = random_walk(2000, 8);
  EXPECT_TRUE(same_bits(key_values("Vwap", {}, bars), key_values("AnchoredVwap", {}, bars)));
}

TEST(Vwap, StdDevBands) {
  struct Case {
    const char* what;
    double multiplier;
    std::vector<Candle> bars;
    std::vector<double> want;  // upper, middle, lower, stddev after the last bar
  };
  const Case cases[] = {
      {"one bar", 2.0, {ohlcv(10, 13, 8, 12, 2)}, {11.0, 11.0, 11.0, 0.0}},
      {"two bars", 2.0, {at(10, 1), at(12, 1)}, {13.0, 11.0, 9.0, 1.0}},
      {"weighted", 1.0, {at(10, 3), at(14, 1)}, {11.0 + std::sqrt(3.0), 11.0, 11.0 - std::sqrt(3.0), std::sqrt(3.0)}},
  };
  for (const Case& c : cases) {
    auto ind = make("VwapStdDevBands", {c.multiplier});
    for (const Candle& bar : c.bars) step(*ind, bar);
    const std::vector<double> got = voltest::last_outputs(*ind);
    ASSERT_EQ(got.size(), 4u) << c.what;
    for (std::size_t k = 0; k < 4; ++k) EXPECT_DOUBLE_EQ(got[k], c.want[k]) << c.what << " " << k;
  }
}

TEST(VolumeCandles, HeightAndWidth) {
  struct Case {
    const char* what;
    const char* key;
    double period;
    std::vector<Candle> bars;
    Values height;
    Values width;
  };
  const Case cases[] = {
      {"period 1", "Equivolume", 1, {ohlcv(10, 12, 9, 11, 5), ohlcv(10, 12, 9, 11, 0)}, {3.0, 3.0}, {1.0, 0.0}},
      {"period 3", "CandleVolume", 3, {at(10, 1), at(10, 2), ohlcv(12, 13, 9, 10, 3)},
       {kNone, kNone, -2.0}, {kNone, kNone, 1.5}},
      {"no range", "Equivolume", 2, {at(10, 1), at(10, 3)}, {kNone, 0.0}, {kNone, 1.5}},
      {"no volume", "CandleVolume", 2, {ohlcv(10, 12, 9, 11, 0), ohlcv(10, 12, 9, 11, 0)}, {kNone, 1.0}, {kNone, 0.0}},
  };
  for (const Case& c : cases) {
    auto ind = make(c.key, {c.period});
    expect_values(run_output(*ind, c.bars, 1), c.width, c.what);
    ind = make(c.key, {c.period});
    expect_values(run(*ind, c.bars), c.height, c.what);
  }
  auto ind = make("CandleVolume", {3});
  step(*ind, at(10, 1));
  step(*ind, at(10, 2));
  EXPECT_TRUE(ind->outputs().empty());
}

}  // namespace
}  // namespace fendro::testing
