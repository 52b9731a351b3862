// Hand-worked runs of the types that keep their inputs in the shared window
// shapes: how each fills its window, when its first value comes and what it
// does with the window's running values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <optional>
#include <vector>

#include "fendro/indicators/orderflow/trade_liquidity.hpp"
#include "fendro/market/bar_snapshot.hpp"
#include "fendro/market/records.hpp"
#include "fendro/util/math.hpp"
#include "indicators/testing.hpp"

namespace fendro {
namespace {

using testing::check_close_cases;
using testing::kNone;
using testing::Values;

TEST(ShapeUsers, CloseRunsByHand) {
  const double ln2 = cr::log(2.0);
  check_close_cases({
      // Seeded by the mean of the first n closes, then (x + v (n - 1)) / n.
      {"Smma", {3}, {1, 2, 3, 6}, {kNone, kNone, 2.0, 10.0 / 3}},
      // A negative seed mean is held on every later bar.
      {"McGinleyDynamic", {2}, {-4, -2, 5, 7}, {kNone, -3.0, -3.0, -3.0}},
      // Seed 3; then r = 2: 3 + 3 / (16 * 1.2).
      {"McGinleyDynamic", {2}, {2, 4, 6}, {kNone, 3.0, 3.15625}},
      // Volume 1: the sum of the last two close changes.
      {"Tsv", {2}, {1, 3, 2, 5}, {kNone, kNone, 1.0, 2.0}},
      // A close that is not positive has no logarithm and is skipped.
      {"GeometricMa", {2}, {1, 4, 9, -1, 16}, {kNone, 2.0, 6.0, kNone, 12.0}},
      // No losses: 0.
      {"GainToPainRatio", {2}, {0.5, 0.25, 0.0}, {kNone, 0.0, 0.0}},
      {"MidPoint", {2}, {1, 3, 2}, {kNone, 2.0, 2.5}},
      {"MidPrice", {2}, {1, 3, 2}, {kNone, 2.0, 2.5}},
      {"Donchian", {2}, {1, 3, 2}, {kNone, 3.0, 3.0}},
      // 0 at the highest high, -100 at the lowest low.
      {"WilliamsR", {2}, {1, 3, 2}, {kNone, -0.0, -100.0}},
  });
  check_close_cases(
      {
          // Sum 0.25 over pain 0.05, then (0.25 - 0.1 - 0.1) over 0.15.
          {"GainToPainRatio", {3}, {0.1, -0.05, 0.2, -0.1}, {kNone, kNone, 5.0, 1.0 / 3}},
          // Every return ln 2: sqrt(2 ln2^2), first value on the (n + 1)-th close.
          {"RealizedVolatility",
           {2},
           {1, 2, 4, 8},
           {kNone, kNone, ln2 * std::sqrt(2.0), ln2 * std::sqrt(2.0)}},
          // Position 1 in the range 1..3, smoothed to 0.33, then 0.5 ln(1.33 / 0.67).
          {"FisherTransform", {2}, {1, 3}, {kNone, 0.5 * cr::log(1.33 / 0.67)}},
      },
      1e-12);
}

// The prints a bar hands to the trade types are the valid ones of its raw
// list, in order; a print of size 0 repeats the last value.
TEST(ShapeUsers, AmihudOverTheValidPrintsOfABar) {
  auto made = AmihudIlliquidity::create(1);
  ASSERT_TRUE(made.ok());
  AmihudIlliquidity amihud = std::move(made).value();
  const std::vector<Trade> raw = {
      {100, 1, 0, 0}, {0, 1, 0, 0}, {110, 2, 0, 1}, {121, 0, 0, 0}, {-5, 1, 0, 0}};
  std::vector<Trade> kept;
  std::size_t pos = 0;
  while (const Trade* t = next_valid_trade(raw, pos)) kept.push_back(*t);
  ASSERT_EQ(kept.size(), 3u);
  const Candle candle{0, 100, 100, 100, 100, 1};
  BarSnapshot bar;
  bar.candle = &candle;
  bar.trades = kept;
  const std::optional<double> v = amihud.update(bar);
  ASSERT_TRUE(v.has_value());
  EXPECT_DOUBLE_EQ(*v, cr::log(1.1) / 220.0);
  bar.trades = {};
  EXPECT_FALSE(amihud.update(bar).has_value());
}

}  // namespace
}  // namespace fendro
