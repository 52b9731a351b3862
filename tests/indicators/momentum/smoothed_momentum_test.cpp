#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "fendro/indicators/momentum/trend_cycle.hpp"
#include "indicators/momentum/oscillator_testing.hpp"

namespace fendro::testing {
namespace {

using namespace osc;

const std::vector<Candle> kWalk = random_walk(1500, 61);
const Values kCloses = present(closes_of(kWalk));

// Percent change against the value n entries back (0 when that is 0).
Values roc(const Values& x, std::size_t n) {
  Values out(x.size());
  for (std::size_t i = n; i < x.size(); ++i) {
    const double old = *x[i - n];
    out[i] = old == 0.0 ? 0.0 : (*x[i] - old) / old * 100.0;
  }
  return out;
}

TEST(SmoothedMomentum, HandWorkedAndDegenerateSeries) {
  // (The flat, zero-close and unit-factor cases are with the degenerate closes.)
  const std::vector<CloseCase> cases = {
      // First factor 2/4: the third change of 0 halves the first average.
      {"Pmo", {4, 2}, {100, 150, 225, 225}, {kNone, 500.0, 500.0, 250.0}},
      // Every close above its average.
      {"Tii", {2, 2}, {1, 2, 3, 4, 5}, {kNone, kNone, 100.0, 100.0, 100.0}},
  };
  check_close_cases(cases);

  // Each stochastic sees a flat window: 0 from the warm-up bar on.
  const std::vector<double> flat(30, 5.0);
  const Values stc = run_closes("Stc", {3, 6, 4, 0.5}, flat);
  for (std::size_t i = 0; i < stc.size(); ++i) {
    ASSERT_EQ(stc[i].has_value(), i + 1 >= 12) << i;
    if (stc[i]) {
      EXPECT_EQ(*stc[i], 0.0);
    }
  }
}

TEST(SmoothedMomentum, KstMatchesTheTextbookLoop) {
  const std::vector<double> p = {10, 15, 20, 30, 10, 10, 10, 15, 9};
  Values kst(kCloses.size());
  const Values s1 = sma(roc(kCloses, 10), 10), s2 = sma(roc(kCloses, 15), 10),
               s3 = sma(roc(kCloses, 20), 10), s4 = sma(roc(kCloses, 30), 15);
  for (std::size_t i = 0; i < kst.size(); ++i) {
    if (s1[i] && s2[i] && s3[i] && s4[i]) kst[i] = *s1[i] + 2 * *s2[i] + 3 * *s3[i] + 4 * *s4[i];
  }
  const Values signal = sma(kst, 9);
  EXPECT_EQ(make("Kst", p)->warmup_period(), 30u + 15u + 9u - 1u);
  expect_close_to(run_key_output("Kst", p, kWalk, 0), masked(kst, signal), 1e-9, "kst");
  expect_close_to(run_key_output("Kst", p, kWalk, 1), signal, 1e-9, "signal");
}

TEST(SmoothedMomentum, TrixAndTsiMatchTheTextbookLoops) {
  const Values triple = ema(ema(ema(kCloses, 15), 15), 15);
  Values trix(triple.size());
  for (std::size_t i = 1; i < triple.size(); ++i) {
    if (triple[i] && triple[i - 1]) trix[i] = (*triple[i] - *triple[i - 1]) / *triple[i - 1] * 100;
  }
  expect_close_to(key_values("Trix", {15}, kWalk), trix, 1e-9, "Trix");

  Values m(kCloses.size()), am(kCloses.size());
  for (std::size_t i = 1; i < kCloses.size(); ++i) {
    m[i] = *kCloses[i] - *kCloses[i - 1];
    am[i] = std::abs(*m[i]);
  }
  const Values tsi = zip(ema(ema(m, 25), 13), ema(ema(am, 25), 13),
                         [](double n, double d) { return 100.0 * n / d; });
  expect_close_to(key_values("Tsi", {25, 13}, kWalk), tsi, 1e-9, "Tsi");
}

TEST(SmoothedMomentum, TiiMatchesTheTextbookLoop) {
  const std::size_t m = 15;
  const Values dev = minus(kCloses, sma(kCloses, 30));
  std::vector<double> seen;
  Values want(dev.size());
  for (std::size_t i = 0; i < dev.size(); ++i) {
    if (!dev[i]) continue;
    seen.push_back(*dev[i]);
    if (seen.size() < m) continue;
    double up = 0.0, down = 0.0;
    for (std::size_t k = seen.size() - m; k < seen.size(); ++k) {
      up += std::max(seen[k], 0.0);
      down += std::max(-seen[k], 0.0);
    }
    want[i] = up + down == 0.0 ? 50.0 : 100.0 * up / (up + down);
  }
  expect_close_to(key_values("Tii", {30, double(m)}, kWalk), want, 1e-9, "Tii");
}

TEST(SmoothedMomentum, StcFollowsTheTwoStochastics) {
  const Values macd = minus(ema(kCloses, 23), ema(kCloses, 50));
  const std::size_t cycle = 10;
  const double factor = 0.5;
  auto stoch_smooth = [&](const Values& x) {
    Values out(x.size());
    std::vector<double> seen;
    std::optional<double> avg;
    for (std::size_t i = 0; i < x.size(); ++i) {
      if (!x[i]) continue;
      seen.push_back(*x[i]);
      if (seen.size() < cycle) continue;
      const auto first = seen.end() - static_cast<std::ptrdiff_t>(cycle);
      const double hi = *std::max_element(first, seen.end());
      const double lo = *std::min_element(first, seen.end());
      const double k = hi > lo ? (*x[i] - lo) / (hi - lo) * 100 : 0.0;
      avg = avg ? *avg + factor * (k - *avg) : k;
      out[i] = avg;
    }
    return out;
  };
  Values want = stoch_smooth(stoch_smooth(macd));
  for (auto& v : want) {
    if (v) *v = std::clamp(*v, 0.0, 100.0);
  }
  expect_close_to(key_values("Stc", {23, 50, double(cycle), factor}, kWalk), want, 1e-9, "Stc");
}

TEST(SmoothedMomentum, StcFactorMustLieInTheUnitInterval) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (double f : {0.0, -0.0, -0.5, 1.5, nan, inf}) {
    const auto r = Stc::create(3, 6, 4, f);
    ASSERT_FALSE(r.ok()) << f;
    EXPECT_EQ(r.error().display(), "invalid period: STC factor must be a finite value in (0, 1]");
  }
  for (double f : {1.0, 5e-324, 0.25}) EXPECT_TRUE(Stc::create(3, 6, 4, f).ok()) << f;
}

}  // namespace
}  // namespace fendro::testing
