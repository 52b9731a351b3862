// Hull and zero-lag averages: warm-ups, hand values and the de-lagged input.
#include <cmath>

#include "fendro/indicators/averages/hull.hpp"
#include "fendro/indicators/averages/zlema.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing {
namespace {

std::vector<double> ramp(int n) {
  std::vector<double> xs;
  for (int i = 1; i <= n; ++i) xs.push_back(i);
  return xs;
}

TEST(HullZlema, DerivedLengthsAndWarmups) {
  struct Case {
    std::uint64_t n, half, smooth, hull_warmup, zlema_warmup;
  };
  const Case cases[] = {
      {1, 1, 1, 1, 1}, {2, 1, 1, 2, 2},   {4, 2, 2, 5, 5},
      {10, 5, 3, 12, 14}, {16777216, 8388608, 4096, 16781311, 25165823},
  };
  for (const Case& c : cases) {
    const HullLengths l = hull_lengths(c.n);
    EXPECT_EQ(l.half, c.half) << c.n;
    EXPECT_EQ(l.smooth, c.smooth) << c.n;
    const double n = static_cast<double>(c.n);
    EXPECT_EQ(make("Hma", {n})->warmup_period(), c.hull_warmup) << c.n;
    EXPECT_EQ(make("Ehma", {n})->warmup_period(), c.hull_warmup) << c.n;
    EXPECT_EQ(make("Zlema", {n})->warmup_period(), c.zlema_warmup) << c.n;
  }
}

// Period 1: every stage has length 1, so each type returns the close.
TEST(HullZlema, PeriodOneFollowsTheClose) {
  const std::vector<double> xs = {3, -1.5, 7, 7, 0.25};
  Values want(xs.begin(), xs.end());
  for (const char* key : {"Hma", "Ehma", "Zlema"}) expect_values(run_closes(key, {1}, xs), want, key);
}

// On a straight line both Hull averages cancel their lag exactly.
TEST(HullZlema, HullAveragesTrackAStraightLine) {
  const std::vector<double> xs = ramp(9);
  Values want(4, kNone);
  for (int t = 5; t <= 9; ++t) want.push_back(t);
  expect_values(run_closes("Hma", {4}, xs), want, "Hma");
  expect_values(run_closes("Ehma", {4}, xs), want, "Ehma");
}

// n = 10, L = 4: the de-lagged inputs of 1, 2, 3, ... are 2 * x(k + 4) - x(k)
// = k + 8; the average is seeded on bar 14 with their mean 13.5, then
// moves by 2/11 of the gap to each new input (19 on bar 15).
TEST(HullZlema, ZlemaSeedsOnDeLaggedInputs) {
  Values want(13, kNone);
  want.push_back(13.5);
  want.push_back(14.5);
  expect_values(run_closes("Zlema", {10}, ramp(15)), want, "Zlema");
}

// A de-lagged input that overflows gives no value; the average is untouched
// and the ring keeps the close.
TEST(HullZlema, OverflowingDeLaggedInputIsSkipped) {
  ZlemaState s(3);  // L = 1
  EXPECT_EQ(zlema_update(s, 1.0), kNone);
  EXPECT_EQ(zlema_update(s, 1.0), kNone);  // y = 1 (seed 1 of 3)
  EXPECT_EQ(zlema_update(s, 1.5e308), kNone);  // 3e308 - 1 overflows
  EXPECT_EQ(s.ema.seed_count, 1u);
  EXPECT_EQ(s.inputs.back(), 1.5e308);
  EXPECT_EQ(zlema_update(s, 1.5e308), kNone);  // y = 1.5e308, seed 2 of 3
  EXPECT_EQ(s.ema.seed_count, 2u);
}

}  // namespace
}  // namespace fendro::testing
