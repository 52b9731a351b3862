// Adaptive averages: hand values and the behaviours each one is known by.
#include <cmath>
#include <limits>

#include "fendro/indicators/averages/jma.hpp"
#include "fendro/util/math.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing {
namespace {

TEST(AdaptiveAverages, HandValues) {
  const double slow2 = (2.0 / 31) * (2.0 / 31);
  const double a = cr::exp(-4.6);  // Frama's factor at fractal dimension 2
  check_close_cases({
      // Efficiency 1 on 1, 2, 3 (fast constant alone), then 0 (slow alone).
      {"Kama", {2, 2, 30}, {1, 2, 3, 2}, {kNone, kNone, 17.0 / 9, 17.0 / 9 + slow2 * (2 - 17.0 / 9)}},
      // A flat window: efficiency 0, the value starts at the first close.
      {"Kama", {1, 2, 30}, {10, 10, 12}, {kNone, 10.0, 10 + (4.0 / 9) * 2}},
      // Period 2: each half holds one close, so the factor is 0.01.
      {"Frama", {2}, {5, 7, 3}, {kNone, 7.0, 3 * 0.01 + 0.99 * 7}},
      {"Frama", {4}, {1, 3, 1, 3, 1}, {kNone, kNone, kNone, 3.0, 3 - 2 * a}},
      {"Frama", {4}, {2, 2, 2, 2, 4}, {kNone, kNone, kNone, 2.0, 4 * 0.01 + 0.99 * 2}},
      // A trending window asks for a factor above 1: clamped, the close alone.
      {"Frama", {4}, {1, 2, 3, 4, 10}, {kNone, kNone, kNone, 4.0, 10.0}},
      // Values of an independent model of the filter.
      {"Frama", {4}, {5, 6, 9, 1, 8, 4}, {kNone, kNone, kNone, 1.0, 2.592079323616939, 2.6875712491020023}},
      {"AdaptiveLaguerreFilter",
       {3},
       {10, 12, 11, 15, 14, 18, 13},
       {kNone, kNone, 10.596707818930042, 11.709876543209878, 12.507632828473719, 14.248788668008936,
        14.720814772484886}},
      {"McGinleyDynamic", {2}, {2, 4, 6}, {kNone, 3.0, 3.15625}},
      // A negative seed mean freezes the average; so does a close <= 0.
      {"McGinleyDynamic", {2}, {-1, -3, 5, 7}, {kNone, -2.0, -2.0, -2.0}},
      {"McGinleyDynamic", {1}, {4, 0, -2, 4}, {4.0, 4.0, 4.0, 4.0}},
      // Period 1: every filter term is the close itself.
      {"Jma", {1, 0, 2}, {5, 8, -3}, {5.0, 8.0, -3.0}},
      // Period 3, power 1: alpha = beta = 9/29; e0 = 490/29, det0 = 1800/841.
      {"Jma", {3, 0, 1}, {10, 20}, {10.0, 10 + (400.0 / 841) * ((490.0 / 29 + 1.5 * (1800.0 / 841)) - 10)}},
      // Period 1: gain 1 for ever; L1 to L3 lag the close by one to three bars.
      {"AdaptiveLaguerreFilter", {1}, {6, 12, 18, 24}, {6.0, 7.0, 10.0, 15.0}},
      {"HoltWinters", {0.5, 0.5}, {10, 12, 13}, {kNone, 14.0, 15.25}},
      // alpha = beta = 1: 2x minus the previous close.
      {"HoltWinters", {1, 1}, {10, 12, 11, 15}, {kNone, 14.0, 10.0, 19.0}},
  });
}

// The adaptive Laguerre filter advances from bar 1 but gives values only
// once its error ring is full; those values still depend on the first bars.
TEST(AdaptiveAverages, LaguerreFilterWaitsForItsErrorRing) {
  const auto cs = random_walk(40, 3);
  const Values three = key_values("AdaptiveLaguerreFilter", {3}, cs);
  ASSERT_EQ(three.size(), cs.size());
  EXPECT_FALSE(three[0] || three[1]);
  for (std::size_t i = 2; i < three.size(); ++i) EXPECT_TRUE(three[i]) << i;
  // A different first bar changes every later value: the state moved on bar 1.
  auto shifted = cs;
  shifted[0].close += 1.0;
  shifted[0].high += 1.0;
  EXPECT_NE(key_values("AdaptiveLaguerreFilter", {3}, shifted)[2], three[2]);
}

// The phase ratio phase / 100 + 1.5 is clamped to [0.5, 2.5].
TEST(AdaptiveAverages, JmaPhaseIsClamped) {
  const auto cs = random_walk(60, 7);
  const auto jma = [&](double phase) { return key_values("Jma", {7, phase, 2}, cs); };
  EXPECT_TRUE(same_bits(jma(100), jma(300)));
  EXPECT_TRUE(same_bits(jma(-100), jma(-1e9)));
  EXPECT_FALSE(same_bits(jma(0), jma(100)));
  EXPECT_FALSE(same_bits(jma(0), jma(-100)));
  EXPECT_FALSE(same_bits(jma(50), jma(100)));
  EXPECT_FALSE(same_bits(jma(-50), jma(-100)));
}

TEST(AdaptiveAverages, JmaRefusesANonFinitePhase) {
  for (double phase : {std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::infinity()}) {
    const auto r = Jma::create(7, phase, 2);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error().display(), "invalid period: JMA phase must be a finite value");
  }
}

// v = 1 is the double exponential average exactly; v = 0 is the first
// average, but only from bar 2n - 1.
TEST(AdaptiveAverages, GeneralizedDemaEndpoints) {
  const auto cs = random_walk(80, 11);
  EXPECT_TRUE(same_bits(key_values("GeneralizedDema", {6, 1}, cs), key_values("Dema", {6}, cs)));
  const Values gd0 = key_values("GeneralizedDema", {6, 0}, cs);
  Values ema = key_values("Ema", {6}, cs);
  for (std::size_t i = 0; i < 10; ++i) ema[i].reset();
  EXPECT_TRUE(same_bits(gd0, ema));
}

}  // namespace
}  // namespace fendro::testing
