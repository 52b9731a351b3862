// Money-flow measures and volume oscillators on hand-computed bars.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "fendro/util/math.hpp"
#include "indicators/volume/volume_testing.hpp"

namespace fendro::testing {
namespace {

using voltest::closes_volumes;
using voltest::ohlcv;

std::vector<Candle> volumes(const std::vector<double>& vs) {
  return closes_volumes(std::vector<double>(vs.size(), 10.0), vs);
}

TEST(VolumeOscillators, HandComputedSeries) {
  voltest::check_candle_cases({
      {"cmf", "ChaikinMoneyFlow", {2}, {ohlcv(10, 12, 8, 11, 100), ohlcv(10, 10, 10, 10, 50)},
       {kNone, 50.0 / 150.0}},
      {"cmf without volume", "ChaikinMoneyFlow", {2}, {ohlcv(10, 12, 8, 11, 0), ohlcv(10, 12, 8, 9, 0)},
       {kNone, 0.0}},
      // Rising flows 22 and 48, falling 31.5.
      {"mfi", "Mfi", {2}, closes_volumes({10, 11, 10.5, 12}, {1, 2, 3, 4}),
       {kNone, kNone, 41.1214953271028, 60.37735849056604}},
      {"mfi, level prices", "Mfi", {2}, closes_volumes({10, 10, 10, 10}, {1, 2, 3, 4}),
       {kNone, kNone, 50.0, 50.0}},
      {"mfi, only rising", "Mfi", {2}, closes_volumes({10, 11, 12, 12}, {1, 2, 3, 4}),
       {kNone, kNone, 100.0, 100.0}},
      {"tsv", "Tsv", {2}, closes_volumes({10, 11, 12}, {1, 2, 3}), {kNone, kNone, 5.0}},
      {"force index", "ForceIndex", {1}, closes_volumes({10, 12, 11}, {5, 3, 2}), {kNone, 6.0, -2.0}},
      {"volume rsi", "VolumeRsi", {2}, volumes({10, 12, 11, 15}),
       {kNone, kNone, 66.66666666666666, 90.9090909090909}},
      {"volume rsi, constant volume", "VolumeRsi", {3}, volumes({7, 7, 7, 7, 7}),
       {kNone, kNone, kNone, 50.0, 50.0}},
      {"volume oscillator", "VolumeOscillator", {3, 5}, volumes({1, 2, 3, 4, 5, 0}),
       {kNone, kNone, kNone, kNone, 100.0 / 3.0, ((3.0 - 2.8) * 100.0) / 2.8}},
      {"volume oscillator, no volume", "VolumeOscillator", {1, 2}, volumes({0, 0}), {kNone, 0.0}},
      {"vzo", "Vzo", {1}, closes_volumes({10, 11, 10, 10}, {1, 2, 3, 4}), {kNone, 100.0, -100.0, 0.0}},
      // True range 2.5 then 1.8 around the previous close.
      {"twiggs", "TwiggsMoneyFlow", {2},
       {ohlcv(10, 10, 10, 10, 1), ohlcv(10, 12, 9.5, 11.5, 100), ohlcv(11.5, 11.8, 10, 10.5, 50),
        ohlcv(10.5, 11, 10.2, 10.8, 80)},
       {kNone, kNone, 0.2518518518518518, 0.3799283154121875}},
      // Movement 2 * 2 per 1e8 volume scaled by 1e8, then a bar without volume.
      {"ease of movement", "EaseOfMovement", {2},
       {ohlcv(9, 10, 8, 9, 1), ohlcv(11, 12, 10, 11, 1e8), ohlcv(11, 12, 10, 11, 0)},
       {kNone, kNone, 2.0}},
      {"kvo", "Kvo", {1, 2},
       {ohlcv(9, 10, 8, 9, 10), ohlcv(10, 11, 9, 10, 100), ohlcv(11, 12, 9, 11, 50),
        ohlcv(10, 11, 10, 10, 80)},
       {kNone, kNone, -2142.857142857143, -6619.047619047619}},
  });
}

// Windows back to holding only zeros after entries whose running sum leaves
// a rounding residue (0.1 + 0.2, less 0.1, less 0.2, is not 0): the value is
// exactly that of a window of zeros.
TEST(VolumeOscillators, WindowsBackToZerosGiveTheEmptyWindowValue) {
  // Closing at the high: each bar's money-flow volume is its volume.
  const auto at_high = [](double v) { return ohlcv(10, 12, 8, 12, v); };
  const struct {
    const char* what;
    const char* key;
    std::vector<double> params;
    std::vector<Candle> bars;
    double want;
  } cases[] = {
      {"cmf, volumes 0.1 and 0.2 gone", "ChaikinMoneyFlow", {2},
       {at_high(0.1), at_high(0.2), at_high(0), at_high(0)}, 0.0},
      // Rising flows 0.1 and 0.2, then a level price; the sums are rebuilt on
      // the third push only.
      {"mfi, rising flows gone", "Mfi", {3},
       closes_volumes({1, 2, 4, 4, 4, 4}, {1, 0.05, 0.05, 1, 1, 1}), 50.0},
      // Rising 0.1 and 0.2, falling 0.3 and 0.6, rebuilt on the fifth push:
      // residues of both signs, whose ratio gave -33.3.
      {"mfi, rising and falling flows gone", "Mfi", {5},
       closes_volumes({1, 2, 4, 2, 1, 1, 1, 1, 1, 1}, {1, 0.05, 0.05, 0.15, 0.6, 1, 1, 1, 1, 1}),
       50.0},
      // The falling flows 0.3 and 0.6 gone while 0.1 rises on every bar.
      {"mfi, falling flows gone", "Mfi", {5},
       closes_volumes({4, 2, 1, 2, 4, 8, 16, 32, 64, 128},
                      {1, 0.15, 0.6, 0.05, 0.025, 0.0125, 0.00625, 0.003125, 0.0015625, 0.00078125}),
       100.0},
  };
  for (const auto& c : cases) expect_last_exactly(key_values(c.key, c.params, c.bars), c.want, c.what);
}

TEST(VolumeOscillators, BetterVolumeClassifiesAgainstTheBarsBefore) {
  // Period 3: each bar against the two before it.
  const std::vector<Candle> bars = {
      ohlcv(10, 12, 10, 11, 100),  // range 2
      ohlcv(10, 12, 10, 11, 200),  // range 2
      ohlcv(10, 11, 10, 11, 50),   // lowest volume, nothing else
      ohlcv(10, 11, 10, 11, 300),  // most volume per range: churn
      ohlcv(12, 13, 10, 11, 1000), // largest range * volume and churn
      ohlcv(12, 20, 10, 11, 10),   // low volume
      ohlcv(30, 50, 10, 11, 100),  // climax on a down bar
      ohlcv(11, 90, 10, 12, 150),  // climax on an up bar
  };
  expect_values(key_values("BetterVolume", {3}, bars),
                {kNone, kNone, 1.0, 2.0, 4.0, 1.0, -3.0, 3.0}, "better volume");
  // With period 1 there is no earlier bar: any range is climax and churn.
  expect_values(key_values("BetterVolume", {1}, {ohlcv(10, 11, 9, 10, 5), flat(10)}), {4.0, 3.0},
                "period 1");
}

TEST(VolumeOscillators, DemandIndexStaysWithinItsScale) {
  auto ind = make("DemandIndex", {5});
  for (const Candle& c : random_walk(3000, 21)) {
    const auto v = step(*ind, c);
    if (v) {
      ASSERT_GE(*v, -100.0);
      ASSERT_LE(*v, 100.0);
    }
  }
}

TEST(VolumeOscillators, DemandIndexRepeatsItsValueOnAZeroWeightedPrice) {
  auto ind = make("DemandIndex", {2});
  std::optional<double> last;
  for (const Candle& c : random_walk(10, 4)) last = step(*ind, c);
  ASSERT_TRUE(last);
  // (high + low + 2 close) / 4 = 0 with a valid candle around zero.
  const auto again = step(*ind, ohlcv(0, 1, -1, 0, 5));
  ASSERT_TRUE(again);
  EXPECT_EQ(*again, *last);
}

TEST(VolumeOscillators, DemandIndexAfterFlatBarsRepeatsZero) {
  // A zero average range before any value: the stored value 0 comes back.
  const std::vector<Candle> bars = {flat(10), flat(10), flat(10)};
  expect_values(key_values("DemandIndex", {2}, bars), {kNone, kNone, 0.0}, "flat");
}

TEST(VolumeOscillators, DemandIndexHandComputed) {
  // Period 2: volumes 100, 200, 100, 50 and two-bar ranges 3, 3, 2.
  // Weighted prices (h + l + 2c) / 4: 10, 11, 9.5, 9.75.
  const std::vector<Candle> bars = {ohlcv(10, 11, 9, 10, 100), ohlcv(10, 12, 10, 11, 200),
                                    ohlcv(11, 11, 9, 9, 100), ohlcv(9, 10, 9, 10, 50)};
  const double alpha = 2.0 / 3.0;
  // Bar 3 falls: the volume ratio is the selling pressure, its damped copy
  // the buying one; both averages seed with them.
  const double rel3 = (9.5 - 11.0) / 9.5;
  const double vr3 = 100.0 / 150.0;
  const double buy3 = vr3 / cr::exp(std::abs(rel3) * ((9.5 * 3.0) / 3.0));
  const double sell3 = vr3;
  // Bar 4 rises: the roles swap and both averages smooth; the selling one
  // stays ahead.
  const double rel4 = (9.75 - 9.5) / 9.5;
  const double vr4 = 50.0 / 75.0;
  const double buy4 = std::fma(alpha, vr4, (1.0 - alpha) * buy3);
  const double sell4 =
      std::fma(alpha, vr4 / cr::exp(std::abs(rel4) * ((9.75 * 3.0) / 2.5)), (1.0 - alpha) * sell3);
  ASSERT_LT(buy3, sell3);
  ASSERT_LT(buy4, sell4);
  expect_values(key_values("DemandIndex", {2}, bars),
                {kNone, kNone, (1.0 - buy3 / sell3) * -100.0, (1.0 - buy4 / sell4) * -100.0},
                "demand index");
}

TEST(VolumeOscillators, ChaikinOscillatorHandComputed) {
  // Money-flow volumes +50, 0 (no range), -20, +10: the line runs 50, 50,
  // 30, 40. The fast average (n = 2) seeds at 50 on bar 2, the slow one
  // (n = 3) at 130 / 3 on bar 3.
  const double a2 = 2.0 / 3.0;
  const double fast3 = std::fma(a2, 30.0, (1.0 - a2) * 50.0);
  const double fast4 = std::fma(a2, 40.0, (1.0 - a2) * fast3);
  const double slow4 = std::fma(0.5, 40.0, (1.0 - 0.5) * (130.0 / 3.0));
  const std::vector<Candle> bars = {ohlcv(10, 12, 8, 11, 100), ohlcv(10, 10, 10, 10, 7),
                                    ohlcv(10, 12, 8, 9, 40), ohlcv(10, 12, 8, 12, 10)};
  voltest::check_candle_cases({
      {"chaikin oscillator", "ChaikinOscillator", {2, 3}, bars,
       {kNone, kNone, fast3 - 130.0 / 3.0, fast4 - slow4}},
      // The line overflows on bar 3 and keeps its infinite value: no value
      // from then on, whatever follows.
      {"infinite line", "ChaikinOscillator", {1, 2},
       {ohlcv(10, 12, 8, 12, 1), ohlcv(10, 12, 8, 12, 1.7e308), ohlcv(10, 12, 8, 12, 1.7e308),
        ohlcv(10, 12, 8, 8, 1.7e308), bars[0]},
       {kNone, 1.7e308 - (1.7e308 + 1.0) / 2.0, kNone, kNone, kNone}},
  });
}

TEST(VolumeOscillators, ChaikinOscillatorFirstValueOnTheSlowBar) {
  const Values got = key_values("ChaikinOscillator", {3, 10}, random_walk(12, 2));
  for (std::size_t i = 0; i < got.size(); ++i) EXPECT_EQ(got[i].has_value(), i + 1 >= 10) << i;
}

}  // namespace
}  // namespace fendro::testing
