#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "indicators/momentum/oscillator_testing.hpp"

namespace fendro::testing {
namespace {

using namespace osc;

const std::vector<Candle> kWalk = random_walk(1500, 71);

// Sum of v over the last n entries ending at i (all present).
double tail_sum(const std::vector<double>& v, std::size_t i, std::size_t n) {
  double s = 0.0;
  for (std::size_t k = i + 1 - n; k <= i; ++k) s += v[k];
  return s;
}

// The usual ultimate oscillator with weights 4, 2, 1 on the windows in the
// order given; from the second candle, buying pressure and true range
// against the previous close.
Values ultimate_ref(const std::vector<Candle>& cs, std::size_t a, std::size_t b, std::size_t c) {
  std::vector<double> bp(cs.size()), tr(cs.size());
  Values out(cs.size());
  const std::size_t longest = std::max({a, b, c});
  for (std::size_t i = 1; i < cs.size(); ++i) {
    const double prev = cs[i - 1].close;
    bp[i] = cs[i].close - std::min(cs[i].low, prev);
    tr[i] = std::max(cs[i].high, prev) - std::min(cs[i].low, prev);
    if (i < longest) continue;
    auto avg = [&](std::size_t n) {
      const double t = tail_sum(tr, i, n);
      return t == 0.0 ? 0.5 : tail_sum(bp, i, n) / t;
    };
    out[i] = 100.0 * (4 * avg(a) + 2 * avg(b) + avg(c)) / 7.0;
  }
  return out;
}

TEST(CandleRange, HandWorkedAndDegenerateSeries) {
  const std::vector<double> five(40, 5.0);
  const Values uo = run_closes("UltimateOscillator", {2, 3, 4}, five);
  for (std::size_t i = 0; i < uo.size(); ++i) {
    ASSERT_EQ(uo[i].has_value(), i + 1 >= 5) << i;
    if (uo[i]) {
      EXPECT_DOUBLE_EQ(*uo[i], 50.0);  // every window's range is 0
    }
  }
  const std::vector<CloseCase> cases = {
      // Open, high, low and close equal on every bar: no range to divide by.
      {"Rvi", {2}, {1, 2, 3, 4, 5, 6, 7}, std::vector<std::optional<double>>(7)},
      {"Pgo", {2}, {5, 5, 5, 5}, std::vector<std::optional<double>>(4)},
      {"ProjectionOscillator", {2}, {5, 5, 5}, {kNone, 50.0, 50.0}},
  };
  check_close_cases(cases);
  // A constant typical price: the deviation stays below the noise threshold.
  expect_values(run_key_output("WaveTrend", {2, 2, 2}, flat_closes({5, 5, 5, 5, 5}), 0),
                {kNone, kNone, kNone, kNone, 0.0}, "WaveTrend wt1");
}

TEST(CandleRange, UltimateOscillatorWeightsFollowTheParameterPositions) {
  for (const std::vector<std::size_t>& p :
       {std::vector<std::size_t>{7, 14, 28}, {28, 14, 7}, {3, 3, 3}, {1, 2, 5}}) {
    const std::vector<double> params(p.begin(), p.end());
    expect_close_to(key_values("UltimateOscillator", params, kWalk),
                    ultimate_ref(kWalk, p[0], p[1], p[2]), 1e-9, "UltimateOscillator");
    EXPECT_EQ(make("UltimateOscillator", params)->warmup_period(), std::max({p[0], p[1], p[2]}) + 1);
  }
  const Values fwd = key_values("UltimateOscillator", {7, 14, 28}, kWalk);
  const Values rev = key_values("UltimateOscillator", {28, 14, 7}, kWalk);
  EXPECT_TRUE(fwd[28].has_value() && rev[28].has_value());
  EXPECT_NE(fwd[28], rev[28]);
}

// True ranges 2.6 and 6.6 (closing at the high: the same pressures), then
// level bars: the windows' sums, 2.6 + 6.6 less 2.6 less 6.6, leave a
// residue whose ratio read 100; a window without range reads 0.5 on each
// horizon, 50.
TEST(CandleRange, UltimateOscillatorBackToLevelBarsGives50) {
  const std::vector<Candle> bars = {flat(1.1), Candle{0, 1.1, 3.7, 1.1, 3.7, 1.0},
                                    Candle{0, 3.7, 10.3, 3.7, 10.3, 1.0}, flat(10.3), flat(10.3)};
  expect_last_exactly(key_values("UltimateOscillator", {2, 2, 2}, bars), 50.0, "level bars");
}

TEST(CandleRange, RviMatchesTheTextbookLoop) {
  const std::size_t n = 10;
  std::vector<double> num(kWalk.size()), den(kWalk.size());
  Values want(kWalk.size());
  for (std::size_t i = 3; i < kWalk.size(); ++i) {
    auto body = [&](std::size_t k) { return kWalk[k].close - kWalk[k].open; };
    auto range = [&](std::size_t k) { return kWalk[k].high - kWalk[k].low; };
    num[i] = (body(i - 3) + 2 * body(i - 2) + 2 * body(i - 1) + body(i)) / 6;
    den[i] = (range(i - 3) + 2 * range(i - 2) + 2 * range(i - 1) + range(i)) / 6;
    if (i >= n + 2) want[i] = tail_sum(num, i, n) / tail_sum(den, i, n);
  }
  expect_close_to(key_values("Rvi", {double(n)}, kWalk), want, 1e-9, "Rvi");
}

TEST(CandleRange, WaveTrendMatchesTheTextbookLoop) {
  Values ap(kWalk.size());
  for (std::size_t i = 0; i < kWalk.size(); ++i) {
    ap[i] = (kWalk[i].high + kWalk[i].low + kWalk[i].close) / 3;
  }
  const Values esa = ema(ap, 10);
  const Values d = ema(zip(ap, esa, [](double a, double e) { return std::abs(a - e); }), 10);
  Values ci(ap.size());
  for (std::size_t i = 0; i < ap.size(); ++i) {
    if (d[i]) ci[i] = (*ap[i] - *esa[i]) / (0.015 * *d[i]);
  }
  const Values wt1 = ema(ci, 21);
  const Values wt2 = sma(wt1, 4);
  expect_close_to(run_key_output("WaveTrend", {10, 21, 4}, kWalk, 1), wt2, 1e-9, "wt2");
  expect_close_to(run_key_output("WaveTrend", {10, 21, 4}, kWalk, 0), masked(wt1, wt2), 1e-9,
                  "wt1");
}

TEST(CandleRange, PgoMatchesTheTextbookLoop) {
  Values tr(kWalk.size());
  tr[0] = kWalk[0].high - kWalk[0].low;
  for (std::size_t i = 1; i < kWalk.size(); ++i) {
    const double p = kWalk[i - 1].close;
    tr[i] = std::max({kWalk[i].high - kWalk[i].low, std::abs(kWalk[i].high - p),
                      std::abs(kWalk[i].low - p)});
  }
  const Values closes = present(closes_of(kWalk));
  const Values want = zip(minus(closes, sma(closes, 14)), ema(tr, 14),
                          [](double gap, double atr) { return gap / atr; });
  expect_close_to(key_values("Pgo", {14}, kWalk), want, 1e-9, "Pgo");
}

TEST(CandleRange, InertiaIsTheRegressionLineOfTheVolatilityIndex) {
  // The relative volatility index of the closes, fed as closes to the
  // least-squares line at the newest of its last 14 values.
  std::vector<double> rvi;
  for (const auto& v : key_values("RviVolatility", {20}, kWalk)) {
    if (v) rvi.push_back(*v);
  }
  const Values line = run_closes("LinearRegression", {14}, rvi);
  const Values got = key_values("Inertia", {20, 14}, kWalk);
  const std::size_t skipped = kWalk.size() - rvi.size();
  ASSERT_EQ(make("Inertia", {20, 14})->warmup_period(), skipped + 14);
  EXPECT_TRUE(same_bits(Values(got.begin() + static_cast<std::ptrdiff_t>(skipped), got.end()), line));
}

// The close's place between the projection bands of the same period, in
// percent (50 where the bands meet).
TEST(CandleRange, ProjectionOscillatorPlacesTheCloseBetweenTheBands) {
  const std::size_t n = 14;
  const Values upper = run_key_output("ProjectionBands", {double(n)}, kWalk, 0);
  const Values lower = run_key_output("ProjectionBands", {double(n)}, kWalk, 2);
  Values want(kWalk.size());
  for (std::size_t i = 0; i < kWalk.size(); ++i) {
    if (!upper[i]) continue;
    const double range = *upper[i] - *lower[i];
    want[i] = range == 0.0 ? 50.0 : (kWalk[i].close - *lower[i]) * 100.0 / range;
  }
  expect_close_to(key_values("ProjectionOscillator", {double(n)}, kWalk), want, 1e-9,
                  "ProjectionOscillator");
}

}  // namespace
}  // namespace fendro::testing
