#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "indicators/momentum/oscillator_testing.hpp"

namespace fendro::testing {
namespace {

using namespace osc;

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const std::vector<Candle> kWalk = random_walk(1200, 31);
const Values kCloses = present(closes_of(kWalk));

// The usual MACD: EMA(fast) - EMA(slow), its EMA as the signal. Ours seeds
// every average with the mean of its first n inputs (the textbook seeding;
// charting packages that start from the first close differ early on) and
// rounds each update once (fused).
struct MacdRef {
  Values macd, signal, histogram;
};
MacdRef macd_ref(const Values& x, std::size_t fast, std::size_t slow, std::size_t signal,
                 double fast_alpha = 0.0, double slow_alpha = 0.0) {
  MacdRef r;
  r.macd = minus(ema(x, fast, fast_alpha), ema(x, slow, slow_alpha));
  r.signal = ema(r.macd, signal);
  r.histogram = minus(r.macd, r.signal);
  // No value until the signal has one.
  for (std::size_t i = 0; i < x.size(); ++i) {
    if (!r.signal[i]) r.macd[i] = std::nullopt;
  }
  return r;
}

TEST(Macd, HandWorkedFirstValues) {
  const std::vector<Candle> cs = flats({1, 2, 3, 4, 5, 6});
  // Fast seed 2 at the third close, 4 at the fifth; slow seed 3 there, so
  // macd 1 on the fifth and sixth closes and a signal seeded by their mean.
  expect_values(run_key_output("MacdIndicator", {3, 5, 2}, cs, 0),
                {kNone, kNone, kNone, kNone, kNone, 1.0}, "macd");
  expect_values(run_key_output("MacdIndicator", {3, 5, 2}, cs, 1),
                {kNone, kNone, kNone, kNone, kNone, 1.0}, "signal");
  expect_values(run_key_output("MacdIndicator", {3, 5, 2}, cs, 2),
                {kNone, kNone, kNone, kNone, kNone, 0.0}, "histogram");
  expect_values(run_key("MacdHistogram", {3, 5, 2}, cs),
                {kNone, kNone, kNone, kNone, kNone, 0.0}, "MacdHistogram");
}

TEST(Macd, MatchesTheTextbookLoop) {
  struct Case {
    std::size_t fast, slow, signal;
  };
  for (const Case& c : {Case{12, 26, 9}, Case{3, 5, 2}, Case{1, 2, 1}, Case{5, 35, 5}}) {
    const std::vector<double> p = {double(c.fast), double(c.slow), double(c.signal)};
    const MacdRef r = macd_ref(kCloses, c.fast, c.slow, c.signal);
    const std::string what = "MACD " + std::to_string(c.fast) + "/" + std::to_string(c.slow);
    expect_close_to(run_key_output("MacdIndicator", p, kWalk, 0), r.macd, 1e-9, what);
    expect_close_to(run_key_output("MacdIndicator", p, kWalk, 1), r.signal, 1e-9, what);
    expect_close_to(run_key_output("MacdIndicator", p, kWalk, 2), r.histogram, 1e-9, what);
    expect_close_to(run_key("MacdHistogram", p, kWalk), r.histogram, 1e-9, what);
  }
}

TEST(Macd, AliasIsTheSameType) {
  auto a = make("Macd", {12, 26, 9});
  auto b = make("MacdIndicator", {12, 26, 9});
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->warmup_period(), b->warmup_period());
  for (const Candle& c : kWalk) {
    const auto va = step(*a, c);
    ASSERT_EQ(va, step(*b, c));
    const auto oa = a->outputs();
    const auto ob = b->outputs();
    ASSERT_EQ(oa.size(), ob.size());
    for (std::size_t k = 0; k < oa.size(); ++k) {
      EXPECT_EQ(oa[k].name, ob[k].name);
      EXPECT_EQ(oa[k].value, ob[k].value);
    }
  }
}

TEST(Macd, FixedFactorsAreNotTheLengthFactors) {
  auto fix = make("MacdFix", {9});
  ASSERT_TRUE(fix);
  EXPECT_EQ(fix->warmup_period(), 34u);
  const Values got = run_output(*fix, kWalk, 0);
  expect_close_to(got, macd_ref(kCloses, 12, 26, 9, 0.15, 0.075).macd, 1e-9, "MacdFix");
  // 2/13 and 2/27 give other values once the averages have moved.
  const Values plain = run_key_output("MacdIndicator", {12, 26, 9}, kWalk, 0);
  EXPECT_EQ(got[33].has_value(), plain[33].has_value());
  EXPECT_NE(got[200], plain[200]);
}

TEST(Macd, NonFiniteCloseIsSkipped) {
  std::vector<Candle> with_nan = flats({3, 1, 4, 1, 5, 9, 2, 6, 5, 3, 5, 8});
  const std::vector<Candle> clean = with_nan;
  Candle bad = flat(7);
  bad.close = kNaN;
  with_nan.insert(with_nan.begin() + 6, bad);
  for (const char* key : {"MacdIndicator", "MacdHistogram", "ZeroLagMacd", "Apo", "Ppo",
                          "PpoHistogram"}) {
    const std::vector<double> p =
        std::string(key) == "Apo" || std::string(key) == "Ppo" ? std::vector<double>{2, 4}
                                                               : std::vector<double>{2, 4, 2};
    Values got = run_key(key, p, with_nan);
    ASSERT_FALSE(got[6].has_value()) << key;
    got.erase(got.begin() + 6);
    EXPECT_TRUE(same_bits(got, run_key(key, p, clean))) << key;
  }
}

TEST(Macd, PriceOscillators) {
  // Apo is the MACD line; Ppo is it as a percentage of the slow average.
  const Values fast = ema(kCloses, 10), slow = ema(kCloses, 21);
  expect_close_to(run_key("Apo", {10, 21}, kWalk), minus(fast, slow), 1e-9, "Apo");
  const Values ppo = zip(fast, slow, [](double f, double s) { return (f - s) / s * 100.0; });
  expect_close_to(run_key("Ppo", {10, 21}, kWalk), ppo, 1e-9, "Ppo");
  expect_close_to(run_key("PpoHistogram", {10, 21, 7}, kWalk), minus(ppo, ema(ppo, 7)), 1e-9,
                  "PpoHistogram");
  // A slow average of 0 gives 0 rather than a division by zero.
  expect_values(run_closes("Ppo", {2, 3}, {0, 0, 0, 0}), {kNone, kNone, 0.0, 0.0}, "Ppo zero");
}

TEST(Macd, ZeroLagAverages) {
  // Each average runs over 2x - (the input lag bars back), lag (n - 1) / 2.
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
  const Values macd = minus(zlema(kCloses, 12), zlema(kCloses, 26));
  const Values signal = zlema(macd, 9);
  auto ind = make("ZeroLagMacd", {12, 26, 9});
  ASSERT_TRUE(ind);
  EXPECT_EQ(ind->warmup_period(), (26u + 12u) + (9u + 4u) - 1u);
  const Values got_macd = run_output(*ind, kWalk, 0);
  Values want_macd = macd;
  for (std::size_t i = 0; i < want_macd.size(); ++i) {
    if (!signal[i]) want_macd[i] = std::nullopt;
  }
  expect_close_to(got_macd, want_macd, 1e-9, "ZeroLagMacd macd");
  expect_close_to(run_key_output("ZeroLagMacd", {12, 26, 9}, kWalk, 1), signal, 1e-9,
                  "ZeroLagMacd signal");
}

TEST(Macd, VolumeWeightedWindows) {
  auto vwma = [](const std::vector<Candle>& cs, std::size_t n) {
    Values out(cs.size());
    for (std::size_t i = n - 1; i < cs.size(); ++i) {
      double pv = 0.0, v = 0.0;
      for (std::size_t k = i + 1 - n; k <= i; ++k) {
        pv += cs[k].close * cs[k].volume;
        v += cs[k].volume;
      }
      out[i] = pv / v;
    }
    return out;
  };
  const Values macd = minus(vwma(kWalk, 12), vwma(kWalk, 26));
  const Values signal = ema(macd, 9);
  expect_close_to(run_key_output("VolumeWeightedMacd", {12, 26, 9}, kWalk, 1), signal, 1e-9,
                  "VolumeWeightedMacd signal");
  expect_close_to(run_key_output("VolumeWeightedMacd", {12, 26, 9}, kWalk, 2),
                  minus(macd, signal), 1e-9, "VolumeWeightedMacd histogram");
}

}  // namespace
}  // namespace fendro::testing
