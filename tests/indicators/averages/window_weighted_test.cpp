// Window-weighted averages: weights, medians and the log-sum geometric mean.
#include <cmath>

#include "fendro/util/math.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing {
namespace {

constexpr double kPi = 3.141592653589793;

TEST(WindowWeighted, HandValues) {
  const double e = cr::exp(-1.0 / 18);  // Alma(3, 0.5, 1): m = 1, s = 3
  const double r = cr::sin(kPi / 4);    // SineWeightedMa(3): r, 1, r
  check_close_cases({
      {"Alma", {1, 0.85, 6}, {4, -2}, {4.0, -2.0}},
      {"Alma", {3, 0.5, 1}, {0, 0, 9, 0}, {kNone, kNone, 9 * e / (1 + 2 * e), 9 / (1 + 2 * e)}},
      {"Alma", {4, 0.3, 2}, {7, 7, 7, 7, 7}, {kNone, kNone, kNone, 7.0, 7.0}},
      // A Gaussian too narrow for f64 weighs only the close(s) nearest the
      // offset's position (6.8, 4 and a tie at 0.5).
      {"Alma", {9, 0.85, 1e4}, {1, 2, 3, 4, 5, 6, 7, 8, 9}, {kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, 8.0}},
      {"Alma", {9, 0.5, 1e300}, {1, 2, 3, 4, 5, 6, 7, 8, 9}, {kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, 5.0}},
      {"Alma", {3, 0.25, 1e300}, {2, 4, 6}, {kNone, kNone, 3.0}},
      {"SineWeightedMa", {1}, {4, -2}, {4.0, -2.0}},
      {"SineWeightedMa", {2}, {1, 3, 5}, {kNone, 2.0, 4.0}},
      {"SineWeightedMa", {3}, {0, 0, 4}, {kNone, kNone, 4 * r / (1 + 2 * r)}},
      {"MedianMa", {1}, {4, -2}, {4.0, -2.0}},
      {"MedianMa", {3}, {5, 1, 9, 3, 3, 3}, {kNone, kNone, 5.0, 3.0, 3.0, 3.0}},
      {"MedianMa", {4}, {5, 1, 9, 3, 2}, {kNone, kNone, kNone, 4.0, 2.5}},
      {"MedianMa", {2}, {1.5e308, 1.7e308}, {kNone, 1.6e308}},  // halves, no overflow
      {"GeometricMa", {1}, {4, 0.5}, {4.0, 0.5}},
      {"GeometricMa", {2}, {1, 4, 16}, {kNone, 2.0, 8.0}},
  });
}

// The Gaussian peak sits on the oldest close with offset 0, on the newest
// with offset 1; the sine weights are symmetric.
TEST(WindowWeighted, WhereTheWeightSits) {
  const std::vector<double> oldest = {1, 0, 0, 0, 0};
  const std::vector<double> newest = {0, 0, 0, 0, 1};
  const auto last = [](const Values& v) { return v.back().value_or(-1.0); };
  EXPECT_GT(last(run_closes("Alma", {5, 0, 2}, oldest)), last(run_closes("Alma", {5, 0, 2}, newest)));
  EXPECT_LT(last(run_closes("Alma", {5, 1, 2}, oldest)), last(run_closes("Alma", {5, 1, 2}, newest)));
  EXPECT_DOUBLE_EQ(last(run_closes("SineWeightedMa", {5}, oldest)),
            last(run_closes("SineWeightedMa", {5}, newest)));
}

// The Gaussian-weighted sum starts from +0.0, so a window of negative zeros
// averages to +0.0, not -0.0.
TEST(WindowWeighted, AlmaOfNegativeZerosIsPositiveZero) {
  const Values got = run_closes("Alma", {3, 0.85, 6}, {-0.0, -0.0, -0.0});
  ASSERT_TRUE(got.back().has_value());
  EXPECT_EQ(*got.back(), 0.0);
  EXPECT_FALSE(std::signbit(*got.back()));
}

// Closes without a logarithm are refused and leave the window as it was.
TEST(WindowWeighted, GeometricMaRefusesNonPositiveCloses) {
  IndicatorPtr g = make("GeometricMa", {2});
  const auto got = run(*g, flat_closes({1, 0, 4, -3, -0.0, 16}));
  expect_values(got, {kNone, kNone, 2.0, kNone, kNone, 8.0}, "GeometricMa");
}

// The running log sum is replaced by the exact sum of the window once every
// `period` closes: on those bars the value is the exact geometric mean.
TEST(WindowWeighted, GeometricMaResumsEveryPeriod) {
  const auto cs = random_walk(40, 13);
  const Values got = key_values("GeometricMa", {3}, cs);
  for (std::size_t bar = 3; bar <= cs.size(); bar += 3) {
    double exact = -0.0;
    for (std::size_t i = bar - 3; i < bar; ++i) exact = exact + cr::log(cs[i].close);
    EXPECT_EQ(got[bar - 1], cr::exp(exact / 3.0)) << bar;
  }
}

}  // namespace
}  // namespace fendro::testing
