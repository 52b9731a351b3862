// Volatility from closes alone: hand-worked values, the close tests, and the
// exact cadence of the anchored sums and re-summations.
#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <limits>
#include <vector>

#include "fendro/indicators/volatility/rvi_volatility.hpp"
#include "fendro/util/math.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(VolCloseEstimators, HandWorkedValues) {
  const double r1 = cr::log(110.0 / 100.0);
  const double r2 = cr::log(99.0 / 110.0);
  const double r3 = cr::log(104.0 / 99.0);
  const double half_pi = 1.5707963267948966;
  check_close_cases({
      {"RealizedVolatility", {1}, {100, 110, 99}, {kNone, std::abs(r1), std::abs(r2)}},
      {"RealizedVolatility", {2}, {100, 110, 99}, {kNone, kNone, std::sqrt(r1 * r1 + r2 * r2)}},
      {"StdDev", {1}, {5, -3, 0}, {0.0, 0.0, 0.0}},
      {"StdDev", {2}, {1, 3, 3}, {kNone, 1.0, 0.0}},
      {"UlcerIndex", {1}, {5, 4, 7}, {0.0, 0.0, 0.0}},
      // Window maxima 10, 8, 10: drawdown terms 400 then 0, 0.
      {"UlcerIndex", {2}, {10, 8, 8, 10}, {kNone, kNone, std::sqrt(200.0), 0.0}},
      {"EwmaVolatility", {0.9}, {100, 110, 99},
       {kNone, std::abs(r1), std::sqrt(r1 * r1 * 0.9 + r2 * (r2 * (1.0 - 0.9)))}},
      // The first value is the long-run variance whatever the first return.
      {"Garch11", {1e-4, 0.1, 0.8}, {100, 110, 99},
       {kNone, std::sqrt(1e-4 / (0.9 - 0.8)), std::sqrt((1e-4 + 0.1 * r1 * r1) + 0.8 * 1e-4 / (0.9 - 0.8))}},
      {"HistoricalVolatility", {3, 1}, {100, 110, 99, 104},
       {kNone, kNone, kNone, sample_sd({r1, r2, r3}) * 100.0}},
      {"HistoricalVolatility", {2, 4}, {100, 110, 99}, {kNone, kNone, sample_sd({r1, r2}) * 200.0}},
      {"BipowerVariation", {2}, {100, 110, 99, 104},
       {kNone, kNone, std::abs(r1 * r2) * half_pi, std::abs(r2 * r3) * half_pi}},
      // A straight line leaves no residual; 1, 3, 2 leaves -0.5, 1, -0.5.
      {"DetrendedStdDev", {3}, {1, 2, 3, 4}, {kNone, kNone, 0.0, 0.0}},
      {"DetrendedStdDev", {3}, {1, 3, 2}, {kNone, kNone, std::sqrt(0.5)}},
      // n = 1, m = 1: 100 * (1 - exp(-d^2 / (2 d^2))) on every change.
      {"WavePm", {1, 1}, {10, 12, 12}, {kNone, 100.0 * (1.0 - cr::exp(-0.5)), 0.0}},
      {"VolatilityOfVolatility", {2, 2}, {100, 110, 99, 104},
       {kNone, kNone, kNone,
        std::abs(std::abs(r1 - r2) - std::abs(r2 - r3)) / 2.0}},
  });
}

TEST(VolCloseEstimators, JumpIndicatorJudgesAReturnAgainstTheWindowBeforeIt) {
  // Returns +1%, -1%, +1%, then +50% and -50%; n = 3, k = 1.
  std::vector<double> xs = {100};
  for (double r : {0.01, -0.01, 0.01, 0.5, -0.5}) xs.push_back(xs.back() * cr::exp(r));
  expect_values(run_closes("JumpIndicator", {3, 1}, xs), {kNone, kNone, kNone, kNone, 1.0, -1.0},
                "jumps");
  // Every return exactly 0: zero variance gives 0, not a division by zero.
  expect_values(run_closes("JumpIndicator", {2, 1}, {5, 5, 5, 5, 5}), {kNone, kNone, kNone, 0.0, 0.0},
                "flat");
}

TEST(VolCloseEstimators, RelativeVolatilityCore) {
  // Flat input: 50 once warmed up, on the (2n - 1)-th value.
  expect_values(run_closes("RviVolatility", {3}, {7, 7, 7, 7, 7, 7}),
                {kNone, kNone, kNone, kNone, 50.0, 50.0}, "flat");
  // Only rises: every deviation goes to the up side.
  expect_values(run_closes("RviVolatility", {2}, {1, 2, 4, 8}), {kNone, kNone, 100.0, 100.0}, "up");
  expect_values(run_closes("RviVolatility", {2}, {8, 4, 2, 1}), {kNone, kNone, 0.0, 0.0}, "down");

  // Up deviations 1 (3 after 1) and 0.5 against a down one: seeded means
  // (1 + 0) / 2 and (0 + 0.5) / 2, then Wilder's step.
  // The core on a series of its own, as other oscillators feed it; a NaN
  // changes nothing.
  auto c = RviVolatilityCore::create(2).value();
  Values got;
  for (double x : {1.0, 3.0, kNaN, 2.0, 5.0}) got.push_back(rvi_volatility_core(c, x));
  const double up = std::fma(0.5, 1.0, 1.5) / 2.0;
  const double down = std::fma(0.25, 1.0, 0.0) / 2.0;
  expect_values(got, {kNone, kNone, kNone, 200.0 / 3.0, up * 100.0 / (up + down)}, "core");
}

// ---- The numerical rules: anchored sums and re-summations ----

// The anchored moment window as the rules state it, step by step.
struct MomentsModel {
  std::deque<double> ring;
  double k = 0, s1 = 0, s2 = 0;
  std::size_t pushes = 0, n;
  bool anchored = false;

  explicit MomentsModel(std::size_t len) : n(len) {}
  void evict() {
    const double d = ring.front() - k;
    ring.pop_front();
    s1 -= d;
    s2 -= d * d;
  }
  void push(double x) {
    ring.push_back(x);
    if (!anchored) k = x, anchored = true;
    const double d = x - k;
    s1 += d;
    s2 += d * d;
    ++pushes;
  }
  void reanchor_if_due() {
    if (pushes < n) return;
    double sum = 0.0;
    for (double v : ring) sum += v;
    k = sum / static_cast<double>(ring.size());
    s1 = s2 = 0.0;
    for (double v : ring) s1 += v - k, s2 += (v - k) * (v - k);
    pushes = 0;
  }
  double nn() const { return static_cast<double>(n); }
  double population_sd() const {
    const double v = s2 / nn() - (s1 / nn()) * (s1 / nn());
    return std::sqrt(v > 0 ? v : 0.0);
  }
  double sample_var() const {
    const double m = s1 / nn();
    const double v = std::fma(nn(), -(m * m), s2) / (nn() - 1.0);
    return v > 0 ? v : 0.0;
  }
};

// Closes far from zero with small moves, so that where the anchor sits shows
// in the last bits of the sums.
std::vector<double> offset_walk(std::size_t count) {
  std::vector<double> xs;
  for (const Candle& c : random_walk(count, 5, 1e6)) xs.push_back(c.close);
  return xs;
}

TEST(VolCloseEstimators, StdDevReanchorsEveryNPushes) {
  const std::vector<double> xs = offset_walk(400);
  for (std::size_t n : {2, 5, 7}) {
    MomentsModel m(n);
    Values want;
    for (double x : xs) {
      if (m.ring.size() == n) m.evict();
      m.push(x);
      m.reanchor_if_due();
      want.push_back(m.ring.size() == n ? std::optional(m.population_sd()) : std::nullopt);
    }
    EXPECT_TRUE(same_bits(run_closes("StdDev", {double(n)}, xs), want)) << n;
  }
}

TEST(VolCloseEstimators, JumpIndicatorReanchorsOnlyOnceItsWindowIsFull) {
  // A huge first return puts the first anchor far from the tiny returns
  // after it: the sums about it cancel catastrophically, so the bar on which
  // the anchor moves decides the signals that follow.
  std::vector<double> xs = {1e-300, 1e-300 * cr::exp(700.0)};
  for (double r : {1e-6, 2e-6, 1e-5, 3e-6, -2e-6, 4e-5}) xs.push_back(xs.back() * cr::exp(r));
  for (double x : offset_walk(300)) xs.push_back(x);
  std::vector<double> rs;
  for (std::size_t i = 1; i < xs.size(); ++i) rs.push_back(cr::log(xs[i] / xs[i - 1]));
  const double k = 5;
  for (std::size_t n : {2, 3}) {
    MomentsModel m(n);
    Values want = {kNone};
    for (double r : rs) {
      if (m.ring.size() < n) {
        m.push(r);  // no re-anchoring while the window fills
        want.push_back(kNone);
        continue;
      }
      const double var = m.sample_var();
      const double dev = r - (m.k + m.s1 / m.nn());
      const double sd = std::sqrt(var);
      want.push_back(var == 0 ? 0.0 : dev > sd * k ? 1.0 : dev < -(k * sd) ? -1.0 : 0.0);
      m.evict();
      m.push(r);
      m.reanchor_if_due();
    }
    const Values got = run_closes("JumpIndicator", {double(n), k}, xs);
    EXPECT_TRUE(same_bits(got, want)) << n;
  }
}

TEST(VolCloseEstimators, RunningSumsAreRebuiltAtTheirIntervals) {
  // Returns of mixed magnitude make an unrebuilt running sum drift.
  std::vector<double> xs = {100};
  SplitMix rng(9);
  for (int i = 0; i < 500; ++i) {
    const double r = (rng.unit() - 0.5) * (i % 7 == 0 ? 0.5 : 1e-4);
    xs.push_back(xs.back() * cr::exp(r));
  }
  std::vector<double> rs;
  for (std::size_t i = 1; i < xs.size(); ++i) rs.push_back(cr::log(xs[i] / xs[i - 1]));
  const std::size_t n = 6;

  // Squares: rebuilt every n pushes, oldest to newest from -0.0.
  Values realized = {kNone};
  {
    std::deque<double> ring;
    double sum = 0.0;
    std::size_t pushes = 0;
    for (double r : rs) {
      if (ring.size() == n) sum = sum - ring.front() * ring.front(), ring.pop_front();
      ring.push_back(r);
      sum = r * r + sum;
      if (++pushes >= n) {
        sum = -0.0;
        for (double v : ring) sum = sum + v * v;
        pushes = 0;
      }
      realized.push_back(ring.size() == n ? std::optional(std::sqrt(sum > 0 ? sum : 0.0))
                                          : std::nullopt);
    }
  }
  EXPECT_TRUE(same_bits(run_closes("RealizedVolatility", {double(n)}, xs), realized));

  // Adjacent products: the rebuild is only tried on a step that removes one.
  Values bipower = {kNone};
  {
    std::deque<double> ring;
    double b = 0.0;
    std::size_t updates = 0;
    for (double r : rs) {
      if (!ring.empty()) b = b + std::abs(r * ring.back()), ++updates;
      ring.push_back(r);
      if (ring.size() > n) {
        const double o = ring.front();
        ring.pop_front();
        b = b - std::abs(o * ring.front());
        if (updates >= n) {
          b = -0.0;
          for (std::size_t i = 0; i + 1 < ring.size(); ++i) b = b + std::abs(ring[i] * ring[i + 1]);
          updates = 0;
        }
      }
      bipower.push_back(ring.size() == n ? std::optional((b > 0 ? b : 0.0) * 1.5707963267948966)
                                         : std::nullopt);
    }
  }
  EXPECT_TRUE(same_bits(run_closes("BipowerVariation", {double(n)}, xs), bipower));
}

}  // namespace
}  // namespace fendro::testing
