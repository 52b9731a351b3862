// The Kalman hedge ratio on every bar against the textbook filter in matrix
// form (long double), and its first two steps worked by hand.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "indicators/pairs/pairs_testing.hpp"

namespace fendro::testing::pairs {
namespace {

// State x = (beta, alpha), observation A = H x + noise with H = (B, 1),
// random-walk state with covariance Q I; P starts at zero, so the first bar
// only reports its innovation.
struct TextbookKalman {
  long double q;
  long double r;
  std::array<long double, 2> x{};
  std::array<std::array<long double, 2>, 2> p{};
  bool started = false;

  // hedge ratio, intercept and innovation after the bar.
  std::array<double, 3> step(long double a, long double b) {
    if (started) {
      p[0][0] += q;
      p[1][1] += q;
    }
    started = true;
    const std::array<long double, 2> h = {b, 1.0L};
    const std::array<long double, 2> ph = {p[0][0] * h[0] + p[0][1] * h[1],
                                           p[1][0] * h[0] + p[1][1] * h[1]};
    const std::array<long double, 2> hp = {h[0] * p[0][0] + h[1] * p[1][0],
                                           h[0] * p[0][1] + h[1] * p[1][1]};
    const long double s = h[0] * ph[0] + h[1] * ph[1] + r;
    const std::array<long double, 2> k = {ph[0] / s, ph[1] / s};
    const long double e = a - (h[0] * x[0] + h[1] * x[1]);
    x = {x[0] + k[0] * e, x[1] + k[1] * e};
    for (int i = 0; i < 2; ++i) {
      for (int j = 0; j < 2; ++j) p[i][j] -= k[i] * hp[j];
    }
    return {static_cast<double>(x[0]), static_cast<double>(x[1]), static_cast<double>(e)};
  }
};

std::vector<double> outputs_of(const Indicator& ind) {
  std::vector<double> out;
  for (const NamedOutput& o : ind.outputs()) out.push_back(o.value);
  return out;
}

TEST(KalmanReference, FirstTwoStepsByHand) {
  // delta 0.5: Q = 1; R = 1. Bar 1 leaves the state at zero and reports A.
  // Bar 2 (A = 10, B = 4): P = I, S = 1 + 16 + 1 = 18, K = (4/18, 1/18),
  // e = 10, beta = 40/18, alpha = 10/18.
  IndicatorPtr ind = make("KalmanHedgeRatio", {0.5, 1.0});
  ASSERT_TRUE(ind);
  ASSERT_EQ(step_pair(*ind, 7.0, 3.0), 0.0);
  EXPECT_EQ(outputs_of(*ind), (std::vector<double>{0.0, 0.0, 7.0}));
  const auto v = step_pair(*ind, 10.0, 4.0);
  ASSERT_TRUE(v);
  EXPECT_DOUBLE_EQ(*v, 40.0 / 18.0);
  const auto out = outputs_of(*ind);
  ASSERT_EQ(out.size(), 3u);
  EXPECT_DOUBLE_EQ(out[0], 40.0 / 18.0);
  EXPECT_DOUBLE_EQ(out[1], 10.0 / 18.0);
  EXPECT_EQ(out[2], 10.0);
}

TEST(KalmanReference, EveryBarMatchesTheMatrixFilter) {
  const auto b = reference_walk(500, 3);
  SplitMix rng(19);
  std::vector<double> a;
  for (double x : b) a.push_back(1.5 * x + 4.0 + (rng.unit() - 0.5));
  for (const auto& [delta, obs] : {std::pair{1e-4, 1e-3}, std::pair{0.2, 2.0}, std::pair{0.9, 0.01}}) {
    IndicatorPtr ind = make("KalmanHedgeRatio", {delta, obs});
    ASSERT_TRUE(ind);
    TextbookKalman ref{delta / (1.0L - delta), obs};
    for (std::size_t i = 0; i < a.size(); ++i) {
      const auto v = step_pair(*ind, a[i], b[i]);
      const auto want = ref.step(a[i], b[i]);
      ASSERT_TRUE(v) << delta << " bar " << i + 1;
      const auto got = outputs_of(*ind);
      ASSERT_EQ(got.size(), 3u);
      EXPECT_EQ(*v, got[0]);
      for (std::size_t j = 0; j < 3; ++j) {
        ASSERT_NEAR(got[j], want[j], 1e-8 * (1.0 + std::abs(want[j])))
            << delta << " bar " << i + 1 << " output " << j;
      }
    }
  }
}

}  // namespace
}  // namespace fendro::testing::pairs
