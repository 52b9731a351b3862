#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "indicators/momentum/oscillator_testing.hpp"

namespace fendro::testing {
namespace {

using namespace osc;

const std::vector<Candle> kWalk = random_walk(1500, 51);

// %K = 100 (close - LL) / (HH - LL) over the last k candles (50 when flat).
Values percent_k(const std::vector<Candle>& cs, std::size_t k) {
  const Extremes e = extremes(cs, k);
  Values out(cs.size());
  for (std::size_t i = 0; i < cs.size(); ++i) {
    if (!e.hh[i]) continue;
    const double range = *e.hh[i] - *e.ll[i];
    out[i] = range == 0.0 ? 50.0 : 100.0 * (cs[i].close - *e.ll[i]) / range;
  }
  return out;
}

TEST(Stochastic, HandWorkedWindows) {
  // Highs 10, 12, 11 and lows 8, 9, 7 around a last close of 9: HH 12, LL 7.
  const std::vector<Candle> cs = {hlc(10, 8, 9), hlc(12, 9, 10), hlc(11, 7, 9)};
  expect_values(run_key_output("Stochastic", {3, 1}, cs, 0), {kNone, kNone, 40.0}, "k");
  expect_values(run_key_output("Stochastic", {3, 1}, cs, 1), {kNone, kNone, 40.0}, "d");
  expect_values(key_values("WilliamsR", {3}, cs), {kNone, kNone, -60.0}, "WilliamsR");

  // Flat windows: 50 for %K, -50 for %R.
  const std::vector<CloseCase> flat_cases = {
      {"Stochastic", {2, 2}, {5, 5, 5, 5}, {kNone, kNone, 50.0, 50.0}},
      {"WilliamsR", {2}, {5, 5, 5}, {kNone, -50.0, -50.0}},
      {"KasePermissionStochastic", {2, 1}, {5, 5, 5}, {kNone, 50.0, 50.0}},
  };
  check_close_cases(flat_cases);

  // A close at the highest high gives the negative zero of the product.
  const Values top = key_values("WilliamsR", {2}, {hlc(10, 8, 9), hlc(12, 9, 12)});
  ASSERT_TRUE(top[1].has_value());
  EXPECT_EQ(*top[1], 0.0);
  EXPECT_TRUE(std::signbit(*top[1]));
  // Of two equal highest highs (+0 then -0) the older counts, as in a scan.
  const Values tie = key_values("WilliamsR", {2}, {Candle{0, -1, 0.0, -1, -1, 1},
                                                Candle{0, -1, -0.0, -1, 0.0, 1}});
  ASSERT_TRUE(tie[1].has_value());
  EXPECT_TRUE(std::signbit(*tie[1]));
}

TEST(Stochastic, MatchesTheTextbookLoops) {
  struct Case {
    std::size_t k, d;
  };
  for (const Case& c : {Case{14, 3}, Case{5, 1}, Case{1, 1}, Case{50, 10}}) {
    const Values k = percent_k(kWalk, c.k);
    const std::string what = "Stochastic " + std::to_string(c.k) + "/" + std::to_string(c.d);
    const std::vector<double> p = {double(c.k), double(c.d)};
    const Values d = sma(k, c.d);
    expect_close_to(run_key_output("Stochastic", p, kWalk, 0), masked(k, d), 1e-9, what);
    expect_close_to(run_key_output("Stochastic", p, kWalk, 1), d, 1e-9, what);
    // Williams' %R is %K - 100.
    const Values r = zip(k, k, [](double x, double) { return x - 100.0; });
    expect_close_to(key_values("WilliamsR", {double(c.k)}, kWalk), r, 1e-9,
                    "WilliamsR " + std::to_string(c.k));
  }
}

TEST(Stochastic, KaseSmoothsTheRawStochasticTwice) {
  const Values fast = ema(percent_k(kWalk, 10), 3);
  const Values slow = ema(fast, 3);
  expect_close_to(run_key_output("KasePermissionStochastic", {10, 3}, kWalk, 0),
                  masked(fast, slow), 1e-9, "fast");
  expect_close_to(run_key_output("KasePermissionStochastic", {10, 3}, kWalk, 1), slow, 1e-9,
                  "slow");
  EXPECT_EQ(make("KasePermissionStochastic", {5, 3})->warmup_period(), 9u);
}

TEST(Stochastic, SmiIsTheDoubleSmoothedDistanceFromTheMidpoint) {
  const Extremes e = extremes(kWalk, 10);
  Values dist(kWalk.size()), range(kWalk.size());
  for (std::size_t i = 0; i < kWalk.size(); ++i) {
    if (!e.hh[i]) continue;
    dist[i] = kWalk[i].close - (*e.hh[i] + *e.ll[i]) / 2.0;
    range[i] = *e.hh[i] - *e.ll[i];
  }
  const Values want = zip(ema(ema(dist, 3), 5), ema(ema(range, 3), 5),
                          [](double n, double d) { return 100.0 * n / (d / 2.0); });
  expect_close_to(key_values("Smi", {10, 3, 5}, kWalk), want, 1e-9, "Smi");
}

TEST(Stochastic, SmiRepeatsItsLastValueOnAFlatRange) {
  // With smoothing lengths of 1 every average is its input: one-candle
  // windows, so the range is the candle's own.
  const std::vector<Candle> cs = {flat(5), hlc(12, 8, 11), flat(5), hlc(10, 6, 6)};
  expect_values(key_values("Smi", {1, 1, 1}, cs), {kNone, 50.0, 50.0, -100.0}, "Smi");
  // Never opened: nothing to repeat.
  expect_values(key_values("Smi", {2, 2, 2}, flat_closes({5, 5, 5, 5, 5})),
                {kNone, kNone, kNone, kNone, kNone}, "Smi flat");
}

TEST(Stochastic, SmiGivesNoValueWhereHalfItsRangeRoundsToZero) {
  // A range of the least subnormal number, 2^-1074, whose half rounds to 0:
  // the quotient would be 0 / 0 at the midpoint and +inf above it. Neither is
  // a value, and the value given before stays the one a flat range repeats.
  const double least = std::numeric_limits<double>::denorm_min();
  const std::vector<Candle> cs = {hlc(12, 8, 11), hlc(least, 0, 0), hlc(least, 0, least), flat(5)};
  expect_values(key_values("Smi", {1, 1, 1}, cs), {50.0, kNone, kNone, 50.0}, "Smi");
}

}  // namespace
}  // namespace fendro::testing
