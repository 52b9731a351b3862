#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "indicators/testing.hpp"

namespace fendro::testing {
namespace {

const std::vector<Candle> kBars = random_walk(600, 61);

Values sma_of(const std::vector<double>& x, std::size_t n) {
  Values out(x.size());
  for (std::size_t i = n - 1; i < x.size(); ++i) {
    double s = 0.0;
    for (std::size_t k = i + 1 - n; k <= i; ++k) s += x[k];
    out[i] = s / double(n);
  }
  return out;
}

Values awesome_of(const std::vector<Candle>& bars, std::size_t fast, std::size_t slow) {
  std::vector<double> median;
  for (const Candle& c : bars) median.push_back((c.high + c.low) / 2.0);
  const Values f = sma_of(median, fast), s = sma_of(median, slow);
  Values out(bars.size());
  for (std::size_t i = 0; i < bars.size(); ++i) {
    if (f[i] && s[i]) out[i] = *f[i] - *s[i];
  }
  return out;
}

TEST(CandleMomentum, AwesomeFamilyMatchesItsDefinitions) {
  const Values ao = awesome_of(kBars, 5, 34);
  expect_near_values(run(*make("AwesomeOscillator", {5, 34}), kBars), ao, 1e-9, "AO");

  // Lag 1 is the one-bar change, first one bar after the oscillator's first.
  Values hist(kBars.size());
  for (std::size_t i = 1; i < ao.size(); ++i) {
    if (ao[i] && ao[i - 1]) hist[i] = *ao[i] - *ao[i - 1];
  }
  expect_near_values(run(*make("AwesomeOscillatorHistogram", {5, 34, 1}), kBars), hist, 1e-9,
                     "AO histogram");

  std::vector<double> present;
  std::vector<std::size_t> at;
  for (std::size_t i = 0; i < ao.size(); ++i) {
    if (ao[i]) present.push_back(*ao[i]), at.push_back(i);
  }
  const Values signal = sma_of(present, 5);
  Values accel(kBars.size());
  for (std::size_t k = 0; k < present.size(); ++k) {
    if (signal[k]) accel[at[k]] = present[k] - *signal[k];
  }
  expect_near_values(run(*make("AcceleratorOscillator", {5, 34, 5}), kBars), accel, 1e-9, "AC");
}

TEST(CandleMomentum, HugePricesKeepTheMedianFinite) {
  const std::vector<Candle> bars = {
      {0, 1.65e308, 1.7e308, 1.6e308, 1.65e308, 1.0},
      {0, 0.0, 1.0, -1.0, 0.0, 1.0},
  };
  const Values got = run(*make("AwesomeOscillator", {1, 2}), bars);
  ASSERT_TRUE(got[1]);
  EXPECT_DOUBLE_EQ(*got[1], 0.0 - (1.7e308 * 0.5 + 1.6e308 * 0.5) / 2.0);
}

TEST(CandleMomentum, ElderRayAgainstAnEmaOfTheClose) {
  auto elder = make("ElderRay", {13});
  auto ema = make("Ema", {13});
  for (const Candle& c : kBars) {
    const auto v = step(*elder, c);
    const auto e = step(*ema, c);
    ASSERT_EQ(v.has_value(), e.has_value());
    if (!v) continue;
    const auto outs = elder->outputs();
    EXPECT_EQ(outs[0].value, c.high - *e);
    EXPECT_EQ(outs[1].value, c.low - *e);
  }
}

// Period 2: the average is 11 on the second close (the mean of 10 and 12),
// then 14 * 2/3 + 11 * 1/3 = 13; bull power is the high above it, bear
// power the low.
TEST(CandleMomentum, ElderRayHandValues) {
  const std::vector<Candle> bars = {hlc(12, 8, 10), hlc(14, 10, 12), hlc(15, 11, 14)};
  auto bull = make("ElderRay", {2});
  auto bear = make("ElderRay", {2});
  ASSERT_TRUE(bull && bear);
  expect_near_values(run_output(*bull, bars, 0), {kNone, 3.0, 2.0}, 1e-12, "bull_power");
  expect_near_values(run_output(*bear, bars, 1), {kNone, -1.0, -2.0}, 1e-12, "bear_power");
}

TEST(CandleMomentum, GatorSpreadsTheAlligatorLines) {
  auto gator = make("GatorOscillator", {13, 8, 5});
  auto alligator = make("Alligator", {13, 8, 5});
  for (const Candle& c : kBars) {
    const auto g = step(*gator, c);
    const auto a = step(*alligator, c);
    ASSERT_EQ(g.has_value(), a.has_value());
    if (!g) continue;
    const auto lines = alligator->outputs();
    const auto outs = gator->outputs();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(outs[0].value, std::abs(lines[0].value - lines[1].value));
    EXPECT_EQ(outs[1].value, -std::abs(lines[1].value - lines[2].value));
    EXPECT_GE(outs[0].value, 0.0);
    EXPECT_LE(outs[1].value, 0.0);
  }
}

TEST(CandleMomentum, BodyMeasuresHandValues) {
  const std::vector<Candle> bars = {
      {0, 10, 14, 9, 13, 1},   // body +3 over range 5
      {0, 13, 13, 13, 13, 1},  // no range
      {0, 13, 15, 11, 11, 1},  // body -2 over range 4
  };
  expect_values(run(*make("BalanceOfPower", {}), bars), {0.6, 0.0, -0.5}, "BalanceOfPower");
  expect_values(run(*make("Qstick", {2}), bars), {kNone, 1.5, -1.0}, "Qstick");
}

}  // namespace
}  // namespace fendro::testing
