// The C++ walk gives the candles of examples/sample_candles.py to the bit.
// The fields and digests below were taken from the Python module: a digest
// is FNV-1a (64 bits) over each candle's time and the IEEE-754 bits of its
// open, high, low, close and volume, in that order.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "reference/sample_candles.hpp"

namespace fendro::reference {
namespace {

std::uint64_t digest(const std::vector<Candle>& candles) {
  std::uint64_t h = 14695981039346656037ULL;
  const auto mix = [&h](std::uint64_t word) { h = (h ^ word) * 1099511628211ULL; };
  for (const Candle& c : candles) {
    mix(static_cast<std::uint64_t>(c.time));
    for (const double v : {c.open, c.high, c.low, c.close, c.volume}) mix(std::bit_cast<std::uint64_t>(v));
  }
  return h;
}

struct Walk {
  std::size_t count;
  std::uint64_t seed;
  std::int64_t start_cents;
  std::uint64_t digest;
  double lowest_close, highest_close;
};

TEST(SampleCandles, EachWalkIsThePythonOnesToTheBit) {
  const std::vector<Walk> walks = {
      {3000, 2024, 10'000, 0x02c658bfda1a4c67ULL, 88.9, 120.46},
      // Long enough to come near the floor of 15.00.
      {40'000, 2024, 10'000, 0xf83aef67f6337cd9ULL, 15.03, 373.57},
      // A start of 1.00 meets both bounds, 0.15 and 5.00, and runs mirrored.
      {3000, 7, 100, 0x48f557a77c6841c8ULL, 0.15, 5.0},
  };
  for (const Walk& w : walks) {
    SCOPED_TRACE("candles(" + std::to_string(w.count) + ", seed " + std::to_string(w.seed) + ")");
    const std::vector<Candle> candles = sample_candles(w.count, w.seed, w.start_cents);
    ASSERT_EQ(candles.size(), w.count);
    EXPECT_EQ(digest(candles), w.digest);
    double lowest = candles[0].close, highest = candles[0].close;
    for (const Candle& c : candles) {
      lowest = std::min(lowest, c.close);
      highest = std::max(highest, c.close);
    }
    EXPECT_EQ(lowest, w.lowest_close);
    EXPECT_EQ(highest, w.highest_close);
  }
}

TEST(SampleCandles, ChosenCandlesReadAsInPython) {
  struct At {
    std::size_t index;
    Candle candle;
  };
  const std::vector<At> expected = {
      {0, {1'700'000'000'000, 100.0, 100.18, 99.45, 99.5, 725.0}},
      {1, {1'700'003'600'000, 99.5, 99.62, 99.26, 99.5, 4725.0}},
      {240, {1'700'864'000'000, 104.48, 104.87, 104.14, 104.3, 3986.0}},  // a new regime's first
      {2999, {1'710'796'400'000, 98.68, 99.54, 98.66, 99.21, 4108.0}},
  };
  const std::vector<Candle> candles = sample_candles(3000);
  for (const At& e : expected) {
    SCOPED_TRACE("candle " + std::to_string(e.index));
    const Candle& c = candles[e.index];
    EXPECT_EQ(c.time, e.candle.time);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(c.open), std::bit_cast<std::uint64_t>(e.candle.open));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(c.high), std::bit_cast<std::uint64_t>(e.candle.high));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(c.low), std::bit_cast<std::uint64_t>(e.candle.low));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(c.close), std::bit_cast<std::uint64_t>(e.candle.close));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(c.volume), std::bit_cast<std::uint64_t>(e.candle.volume));
  }
}

}  // namespace
}  // namespace fendro::reference
