// Exact re-sums that start from +0.0: a window holding -0.0 alone sums to
// +0.0, so the averages over it are +0.0, never -0.0. Every other window sums
// to the same bits from either zero, which is why only such windows are shown.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "indicators/testing.hpp"

namespace fendro::testing {
namespace {

constexpr std::uint64_t kPlusZero = 0;

// open = high = low = close = x.
Candle flat_at(double x, double volume) { return Candle{0, x, x, x, x, volume}; }

std::vector<Candle> repeated(const Candle& c, std::size_t n) { return std::vector<Candle>(n, c); }

// The bits of every value from bar `from` on (1-based), which must all be present.
std::vector<std::uint64_t> value_bits(const Values& vs, std::size_t from) {
  std::vector<std::uint64_t> out;
  for (std::size_t k = from - 1; k < vs.size(); ++k) {
    EXPECT_TRUE(vs[k].has_value()) << "bar " << k + 1;
    out.push_back(vs[k] ? bits(*vs[k]) : ~std::uint64_t{0});
  }
  return out;
}

struct ZeroCase {
  std::string key;
  std::vector<double> params;
  Candle candle;
  std::size_t bars;
  std::size_t first_value;  // 1-based
};

TEST(ZeroStartSums, WindowsOfNegativeZeroAverageToPositiveZero) {
  const std::vector<ZeroCase> cases = {
      // No volume: the mean of the prices, (+0.0 + -0.0) / 1 = +0.0.
      {"Vwma", {1}, flat_at(-0.0, 0.0), 4, 1},
      // Traded: (+0.0 + -0.0 * 2) / (+0.0 + 2) = +0.0 / 2.
      {"Vwma", {1}, flat_at(-0.0, 2.0), 4, 1},
      // The window fills on bar 3 (the first exact re-sum), then runs on:
      // +0.0 - -0.0 + -0.0 stays +0.0.
      {"Vwma", {3}, flat_at(-0.0, 0.0), 9, 3},
      {"Vwma", {3}, flat_at(-0.0, 1.0), 9, 3},
      // Averages of the highs and lows are +0.0 from bar 2; the first stop
      // (the previous pair's low, long side) comes on bar 3.
      {"HiLoActivator", {2}, flat_at(-0.0, 1.0), 8, 3},
  };
  for (const ZeroCase& c : cases) {
    const Values got = key_values(c.key, c.params, repeated(c.candle, c.bars));
    const std::vector<std::uint64_t> want(c.bars - c.first_value + 1, kPlusZero);
    EXPECT_EQ(value_bits(got, c.first_value), want) << c.key << " " << c.params[0] << " volume "
                                                    << c.candle.volume;
  }
}

}  // namespace
}  // namespace fendro::testing
