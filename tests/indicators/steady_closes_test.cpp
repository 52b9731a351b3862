// Closes that stay put or climb by a fixed step, which a random walk never
// gives: from the warm-up bar on, every value is the fixed one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "fendro/util/math.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing {
namespace {

TEST(SteadyCloses, FixedValuesFromTheWarmupBar) {
  struct Case {
    const char* key;
    std::vector<double> params;
    double step;  // close increment per bar, from 42.5
    double want;
  };
  const double rising_fisher = 0.5 * cr::log((1.0 + 0.999) / (1.0 - 0.999));
  const Case cases[] = {
      {"Rsi", {14}, 0.0, 50.0},
      {"StochRsi", {14, 5}, 0.0, 50.0},
      {"FisherRsi", {14}, 0.0, 0.0},
      {"DerivativeOscillator", {14, 5, 3, 9}, 0.0, 0.0},
      {"Rsi", {14}, 0.5, 100.0},
      {"FisherRsi", {14}, 0.5, rising_fisher},
      {"StochRsi", {14, 5}, 0.5, 50.0},  // a flat RSI window
      {"DerivativeOscillator", {14, 5, 3, 9}, 0.5, 0.0},
      {"Rsx", {5}, 0.0, 50.0},
      {"Rsx", {5}, 0.25, 100.0},
      {"Rsx", {5}, -0.25, 0.0},
      {"DynamicMomentumIndex", {14}, 0.0, 50.0},
      {"FisherTransform", {3}, 0.0, 0.0},
      {"Cci", {3}, 0.0, 0.0},
      {"StochasticCci", {2}, 0.0, 50.0},
      {"AdaptiveCci", {2}, 0.0, 0.0},
      {"DemandIndex", {2}, 0.0, 0.0},
      {"LinRegSlope", {5}, 0.0, 0.0},
      {"LinRegAngle", {5}, 0.0, 0.0},
      {"CorrelationTrendIndicator", {5}, 0.0, 0.0},
      {"LinearRegression", {5}, 0.0, 42.5},
      {"LinRegIntercept", {5}, 0.0, 42.5},
      {"Tsf", {5}, 0.0, 42.5},
      {"HighpassFilter", {10}, 0.0, 0.0},
      {"Decycler", {10}, 0.0, 42.5},
      {"DecyclerOscillator", {10, 20}, 0.0, 0.0},
      {"BandpassFilter", {10, 0.5}, 0.0, 0.0},
      {"EhlersStochastic", {5}, 0.0, 0.0},
      {"UniversalOscillator", {10}, 0.0, 0.0},
      {"EvenBetterSinewave", {20, 10}, 0.0, 0.0},
      {"Trendflex", {6}, 0.0, 0.0},
      {"Reflex", {6}, 0.0, 0.0},
      {"EmpiricalModeDecomposition", {2, 0.5}, 0.0, 0.0},
      {"AutocorrelationPeriodogram", {6, 20}, 0.0, 6.0},
      // The smoothers pass a constant through (their coefficients sum to 1).
      {"SuperSmoother", {10}, 0.0, 42.5},
      {"RoofingFilter", {10, 48}, 0.0, 0.0},
      {"CyberneticCycle", {10}, 0.0, 0.0},
  };
  for (const Case& c : cases) {
    std::vector<double> closes;
    for (int i = 0; i < 80; ++i) closes.push_back(42.5 + c.step * i);
    auto ind = make(c.key, c.params);
    const Values got = run(*ind, flat_closes(closes));
    for (std::size_t i = 0; i < got.size(); ++i) {
      ASSERT_EQ(got[i].has_value(), i + 1 >= ind->warmup_period()) << c.key << " bar " << i + 1;
      if (got[i]) {
        EXPECT_NEAR(*got[i], c.want, 1e-9 * std::max(1.0, std::fabs(c.want))) << c.key << " bar " << i + 1;
      }
    }
  }
}

}  // namespace
}  // namespace fendro::testing
