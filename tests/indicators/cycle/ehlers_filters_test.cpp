// Values of the recursive cycle filters and the windowed cycle measures.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "fendro/indicators/cycle/autocorrelation_periodogram.hpp"
#include "fendro/util/math.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing::cycle {
namespace {

const std::vector<double> kFlat(60, 42.5);

// The same value on every bar from `from` (1-based) on, nothing before.
Values constant_from(std::size_t bars, std::size_t from, double v) {
  Values out(bars);
  for (std::size_t i = from - 1; i < bars; ++i) out[i] = v;
  return out;
}

TEST(CycleFilters, HandWorkedValues) {
  check_close_cases({
      // Start-up: 0, then a quarter of the two-bar second difference.
      {"CyberneticCycle", {10}, {10, 12}, {0.0, 1.0}},
      // Four-tap average for six bars; the recursion from the seventh (with
      // period 1: 0.5 x1 + 0.75 x - 0.25 x2).
      {"InstantaneousTrendline", {1}, {1, 2, 3, 4, 5, 6, 10}, {1.0, 1.5, 2.0, 3.0, 4.0, 5.0, 9.25}},
      // Newest close weighted 1, oldest 3: 2 - (3 + 4 + 1) / 6.
      {"CenterOfGravity", {3}, {1, 2, 3}, {kNone, kNone, 2.0 - 10.0 / 6.0}},
      // A window summing to zero.
      {"CenterOfGravity", {3}, {1, -1, 0, 5}, {kNone, kNone, 0.0, 2.0 - 2.0 / 4.0}},
      // The stand-alone smoother's own constant (4.442882684838626 / period).
      {"SuperSmoother", {10}, {0, 0, 1, 1}, {0.0, 0.0, 0.1265973895733411, 0.39980037255308615}},
      // A rise from rest: the first momentum is its own peak.
      {"UniversalOscillator", {10}, {5, 5, 6}, {kNone, kNone, 1.0}},
      {"HighpassFilter", {20}, {3, 4}, {0.0, 0.0}},
      {"BandpassFilter", {20, 0.3}, {3, 4}, {0.0, 0.0}},
  });
}

// The two-pole band-pass as usually written, 0 until two earlier closes:
// bp = (1 - a) / 2 (x - x[2]) + b (1 + a) bp[1] - a bp[2], with
// b = cos(2 pi / P), g = 1 / cos(4 pi d / P), a = g - sqrt(g^2 - 1).
TEST(CycleFilters, BandpassMatchesTheTextbookRecursion) {
  const std::vector<double> xs = closes_of(random_walk(300, 19));
  for (const auto& [period, d] : {std::pair{20.0, 0.3}, std::pair{10.0, 0.5}, std::pair{7.0, 0.1}}) {
    const double pi = 3.141592653589793;
    const double b = cr::cos(2 * pi / period), g = 1 / cr::cos(4 * pi * d / period);
    const double a = g - std::sqrt(g * g - 1);
    Values want;
    double bp1 = 0, bp2 = 0;
    for (std::size_t i = 0; i < xs.size(); ++i) {
      const double bp = i < 2 ? 0.0 : (1 - a) / 2 * (xs[i] - xs[i - 2]) + b * (1 + a) * bp1 - a * bp2;
      bp2 = bp1;
      bp1 = bp;
      want.push_back(bp);
    }
    const Values got = run_closes("BandpassFilter", {period, d}, xs);
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
      ASSERT_TRUE(got[i].has_value());
      EXPECT_NEAR(*got[i], *want[i], 1e-9) << period << " bar " << i + 1;
    }
  }
}

// The cycle filter written out bar by bar from its definition, with whole
// histories instead of shifted slots: a six-tap smooth once three earlier
// closes exist (the close itself before), a quarter of the second difference
// of the closes on the first two bars, then the two-pole recursion over the
// smooth. Every bar must match to the bit, on a walk and on a walk that
// halts long enough for the cycle to settle in the subnormal numbers, halts
// again at another price, then moves on.
TEST(CycleFilters, CyberneticCycleMatchesItsDefinition) {
  const std::vector<double> walk = closes_of(random_walk(400, 31));
  std::vector<double> halted(walk.begin(), walk.begin() + 200);
  halted.insert(halted.end(), 12000, walk[199]);
  halted.insert(halted.end(), 12000, walk[199] + 0.5);
  halted.insert(halted.end(), walk.begin() + 200, walk.end());
  for (const auto& xs : {walk, halted}) {
    for (const double period : {1.0, 2.0, 7.0, 20.0}) {
      const double alpha = 2.0 / (period + 1.0);
      std::vector<double> closes, smooth, cycle;
      for (const double x : xs) {
        const std::size_t n = closes.size();
        smooth.push_back(n >= 3 ? (closes[n - 3] + ((closes[n - 2] + closes[n - 2]) +
                                                    (x + (closes[n - 1] + closes[n - 1])))) /
                                      6.0
                                : x);
        const std::size_t m = smooth.size();
        double c;
        if (m >= 3 && cycle.size() >= 2) {
          const double c1 = cycle[cycle.size() - 1], c2 = cycle[cycle.size() - 2];
          const double s0 = smooth[m - 1], s1 = smooth[m - 2], s2 = smooth[m - 3];
          c = (c1 * ((1 - alpha) + (1 - alpha)) +
               (s2 + (s0 - (s1 + s1))) * ((alpha * -0.5 + 1) * (alpha * -0.5 + 1))) -
              c2 * ((1 - alpha) * (1 - alpha));
        } else {
          const double x1 = n >= 1 ? closes[n - 1] : x;
          const double x2 = n >= 2 ? closes[n - 2] : x;
          c = (x2 + (x - (x1 + x1))) * 0.25;
        }
        closes.push_back(x);
        cycle.push_back(c);
      }
      const Values got = run_closes("CyberneticCycle", {period}, xs);
      ASSERT_EQ(got.size(), cycle.size());
      for (std::size_t i = 0; i < got.size(); ++i) {
        ASSERT_TRUE(got[i].has_value()) << period << " bar " << i + 1;
        ASSERT_EQ(std::bit_cast<std::uint64_t>(*got[i]), std::bit_cast<std::uint64_t>(cycle[i]))
            << period << " bar " << i + 1;
      }
    }
  }
}

TEST(CycleFilters, ConstantClose) {
  const std::size_t n = kFlat.size();
  struct Case {
    const char* key;
    std::vector<double> params;
    Values want;
  };
  const Case cases[] = {
      {"HighpassFilter", {10}, constant_from(n, 1, 0.0)},
      {"Decycler", {10}, constant_from(n, 1, 42.5)},
      {"DecyclerOscillator", {10, 20}, constant_from(n, 1, 0.0)},
      {"BandpassFilter", {10, 0.5}, constant_from(n, 1, 0.0)},
      {"EhlersStochastic", {5}, constant_from(n, 5, 0.0)},
      {"UniversalOscillator", {10}, constant_from(n, 3, 0.0)},
      {"EvenBetterSinewave", {20, 10}, constant_from(n, 3, 0.0)},
      {"Trendflex", {6}, constant_from(n, 7, 0.0)},
      {"Reflex", {6}, constant_from(n, 7, 0.0)},
      // Nothing before the 50th bar, however short the period.
      {"EmpiricalModeDecomposition", {2, 0.5}, constant_from(n, 50, 0.0)},
      {"AutocorrelationPeriodogram", {6, 20}, constant_from(n, 23, 6.0)},
  };
  for (const Case& c : cases) expect_values(run_closes(c.key, c.params, kFlat), c.want, c.key);
  // The smoothers pass a constant through (their coefficients sum to 1).
  for (const char* key : {"SuperSmoother", "RoofingFilter", "CyberneticCycle"}) {
    const std::vector<double> params = std::string(key) == "RoofingFilter"
                                           ? std::vector<double>{10, 48}
                                           : std::vector<double>{10};
    const Values got = run_closes(key, params, kFlat);
    const double want = std::string(key) == "SuperSmoother" ? 42.5 : 0.0;
    expect_near_values(got, constant_from(n, 1, want), 1e-9, key);
  }
}

TEST(CycleFilters, BoundedOutputs) {
  struct Case {
    const char* key;
    std::vector<double> params;
    double lo, hi;
  };
  const Case cases[] = {
      {"UniversalOscillator", {10}, -1.0, 1.0},
      {"EvenBetterSinewave", {40, 10}, -1.0, 1.0},
      {"EhlersStochastic", {20}, -1.0, 1.0},
      {"AutocorrelationPeriodogram", {8, 30}, 8.0, 30.0},
  };
  const auto series = random_walk(3000, 23);
  for (const Case& c : cases) {
    for (const auto& v : key_values(c.key, c.params, series)) {
      if (!v) continue;
      ASSERT_GE(*v, c.lo) << c.key;
      ASSERT_LE(*v, c.hi) << c.key;
    }
  }
}

// Periods and the band-pass mean follow the cycle of a clean sine wave.
TEST(CycleFilters, SineInputs) {
  std::vector<double> closes;
  for (int i = 0; i < 600; ++i) closes.push_back(100.0 + 5.0 * cr::sin(i * 6.283185307179586 / 20));
  const Values ap = run_closes("AutocorrelationPeriodogram", {8, 48}, closes);
  EXPECT_NEAR(*ap.back(), 20.0, 2.0);
  // The band-pass of a pure cycle averages to about zero over two cycles.
  const Values emd = run_closes("EmpiricalModeDecomposition", {20, 0.5}, closes);
  EXPECT_NEAR(*emd.back(), 0.0, 0.05);
}

TEST(CycleFilters, PeriodogramPhasorRoutesAgree) {
  const auto series = random_walk(400, 9);
  for (auto [lo, hi] : {std::pair{4, 11}, std::pair{10, 60}}) {
    auto table = fendro::cycle::AutocorrelationPeriodogram::create(lo, hi).value();
    auto direct = fendro::cycle::AutocorrelationPeriodogram::create(lo, hi, 0).value();
    EXPECT_TRUE(same_bits(run(table, series), run(direct, series))) << lo << "," << hi;
  }
}

}  // namespace
}  // namespace fendro::testing::cycle
