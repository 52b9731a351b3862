#include <gtest/gtest.h>

#include <vector>

#include "indicators/momentum/oscillator_testing.hpp"

namespace fendro::testing {
namespace {

using namespace osc;

const std::vector<Candle> kWalk = random_walk(1200, 31);
const Values kCloses = present(closes_of(kWalk));

// The usual MACD: EMA(fast) - EMA(slow), its EMA as the signal. Ours seeds
// every average with the mean of its first n inputs (the textbook seeding;
// charting packages that start from the first close differ early on) and
// rounds each update once (fused), so the two agree within rounding.
struct MacdRef {
  Values macd, signal, histogram;
};
MacdRef macd_ref(const Values& x, std::size_t fast, std::size_t slow, std::size_t signal,
                 double fast_alpha = 0.0, double slow_alpha = 0.0) {
  const Values line = minus(ema(x, fast, fast_alpha), ema(x, slow, slow_alpha));
  const Values sig = ema(line, signal);
  return {masked(line, sig), sig, minus(line, sig)};
}

void expect_macd(const std::string& key, const std::vector<double>& p, const MacdRef& r) {
  expect_close_to(run_key_output(key, p, kWalk, 0), r.macd, 1e-9, key + " macd");
  expect_close_to(run_key_output(key, p, kWalk, 1), r.signal, 1e-9, key + " signal");
  expect_close_to(run_key_output(key, p, kWalk, 2), r.histogram, 1e-9, key + " histogram");
}

TEST(Macd, HandWorkedFirstValue) {
  // Fast seed 2 at the third close, 4 at the fifth; slow seed 3 there: macd
  // 1 on the fifth and sixth closes, and a signal seeded by their mean.
  const std::vector<Candle> cs = flat_closes({1, 2, 3, 4, 5, 6});
  const Values none(5);
  for (std::size_t k = 0; k < 3; ++k) {
    Values want = none;
    want.push_back(k == 2 ? 0.0 : 1.0);
    expect_values(run_key_output("MacdIndicator", {3, 5, 2}, cs, k), want, "MacdIndicator");
  }
  Values hist = none;
  hist.push_back(0.0);
  expect_values(key_values("MacdHistogram", {3, 5, 2}, cs), hist, "MacdHistogram");
}

TEST(Macd, MatchesTheTextbookLoop) {
  for (const std::vector<std::size_t>& p :
       {std::vector<std::size_t>{12, 26, 9}, {3, 5, 2}, {1, 2, 1}, {5, 35, 5}}) {
    const MacdRef r = macd_ref(kCloses, p[0], p[1], p[2]);
    const std::vector<double> params(p.begin(), p.end());
    expect_macd("MacdIndicator", params, r);
    expect_close_to(key_values("MacdHistogram", params, kWalk), r.histogram, 1e-9, "MacdHistogram");
  }
  // The alias is the same type, bit for bit.
  for (std::size_t k = 0; k < 3; ++k) {
    EXPECT_TRUE(same_bits(run_key_output("Macd", {12, 26, 9}, kWalk, k),
                          run_key_output("MacdIndicator", {12, 26, 9}, kWalk, k)));
  }
}

TEST(Macd, FixedFactorsAreNotTheLengthFactors) {
  auto fix = make("MacdFix", {9});
  ASSERT_TRUE(fix);
  EXPECT_EQ(fix->warmup_period(), 34u);
  expect_macd("MacdFix", {9}, macd_ref(kCloses, 12, 26, 9, 0.15, 0.075));
  // 2/13 and 2/27 give other values once the averages have moved.
  EXPECT_NE(key_values("MacdFix", {9}, kWalk)[200],
            key_values("MacdIndicator", {12, 26, 9}, kWalk)[200]);
}

TEST(Macd, PriceOscillators) {
  // Apo is the MACD line; Ppo is it as a percentage of the slow average.
  const Values fast = ema(kCloses, 10), slow = ema(kCloses, 21);
  expect_close_to(key_values("Apo", {10, 21}, kWalk), minus(fast, slow), 1e-9, "Apo");
  const Values ppo = zip(fast, slow, [](double f, double s) { return (f - s) / s * 100.0; });
  expect_close_to(key_values("Ppo", {10, 21}, kWalk), ppo, 1e-9, "Ppo");
  expect_close_to(key_values("PpoHistogram", {10, 21, 7}, kWalk), minus(ppo, ema(ppo, 7)), 1e-9,
                  "PpoHistogram");
  // A slow average of 0 gives 0 rather than a division by zero.
  expect_values(run_closes("Ppo", {2, 3}, {0, 0, 0, 0}), {kNone, kNone, 0.0, 0.0}, "Ppo zero");
}

TEST(Macd, ZeroLagAndVolumeWeightedLines) {
  // Zero-lag: each average runs over 2x - (the input (n - 1) / 2 bars back).
  auto zlema = [](const Values& x, std::size_t n) {
    const std::size_t lag = (n - 1) / 2;
    Values delagged(x.size());
    std::vector<double> seen;
    for (std::size_t i = 0; i < x.size(); ++i) {
      if (!x[i]) continue;
      seen.push_back(*x[i]);
      if (seen.size() > lag) delagged[i] = 2.0 * *x[i] - seen[seen.size() - 1 - lag];
    }
    return ema(delagged, n);
  };
  const Values zl = minus(zlema(kCloses, 12), zlema(kCloses, 26));
  const Values zl_signal = zlema(zl, 9);
  expect_macd("ZeroLagMacd", {12, 26, 9}, {masked(zl, zl_signal), zl_signal, minus(zl, zl_signal)});
  EXPECT_EQ(make("ZeroLagMacd", {12, 26, 9})->warmup_period(), (26u + 12u) + (9u + 4u) - 1u);

  auto vwma = [](std::size_t n) {
    Values out(kWalk.size());
    for (std::size_t i = n - 1; i < kWalk.size(); ++i) {
      double pv = 0.0, v = 0.0;
      for (std::size_t k = i + 1 - n; k <= i; ++k) {
        pv += kWalk[k].close * kWalk[k].volume;
        v += kWalk[k].volume;
      }
      out[i] = pv / v;
    }
    return out;
  };
  const Values vw = minus(vwma(12), vwma(26));
  const Values vw_signal = ema(vw, 9);
  expect_macd("VolumeWeightedMacd", {12, 26, 9},
              {masked(vw, vw_signal), vw_signal, minus(vw, vw_signal)});
}

}  // namespace
}  // namespace fendro::testing
