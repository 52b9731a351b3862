// Bands and channels: the hand-worked values of every type, read through
// their named outputs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "fendro/indicators/volatility/projection_bands.hpp"
#include "fendro/indicators/windows/sorted_window.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing {
namespace {

using Outputs = std::vector<double>;

// The named outputs after the last bar (empty when it gave no value).
Outputs last_outputs(const char* key, const std::vector<double>& params,
                     const std::vector<Candle>& bars) {
  auto ind = build_indicator(key, params);
  EXPECT_TRUE(ind.ok()) << key;
  std::optional<double> v;
  for (const Candle& c : bars) v = step(**ind, c);
  Outputs out;
  if (!v) return out;
  for (const NamedOutput& o : (*ind)->outputs()) out.push_back(o.value);
  return out;
}

void expect_outputs(const Outputs& got, const Outputs& want, const std::string& what) {
  ASSERT_EQ(got.size(), want.size()) << what;
  for (std::size_t i = 0; i < got.size(); ++i) EXPECT_DOUBLE_EQ(got[i], want[i]) << what << " #" << i;
}

TEST(VolBands, HandWorkedOutputs) {
  const double sd3 = std::sqrt(2.0 / 3.0);  // population deviation of 1, 2, 3
  const std::vector<Candle> same_bars(4, hlc(11, 9, 10));
  struct Case {
    const char* key;
    std::vector<double> params;
    std::vector<Candle> bars;
    Outputs want;  // empty: no value on the last bar
  };
  const Case cases[] = {
      // Period 1: every push re-anchors at the value, the deviation is 0.
      {"BollingerBands", {1, 2}, flat_closes({3, 7}), {7, 7, 7, 0}},
      {"BollingerBands", {3, 2}, flat_closes({10, 10, 10, 10}), {10, 10, 10, 0}},
      {"BollingerBands", {2, 2}, flat_closes({-1, 1}), {2, 0, -2, 1}},
      {"BollingerBands", {3, 1}, flat_closes({1, 2, 3}), {2 + sd3, 2, 2 - sd3, sd3}},
      {"BollingerBands", {3, 1}, flat_closes({1, 2}), {}},
      {"DoubleBollinger", {2, 1, 2}, flat_closes({-1, 1}), {2, 1, 0, -1, -2}},
      {"AtrBands", {1, 2}, {hlc(10, 8, 9)}, {13, 9, 5}},
      // Flat closes 1..5: EMA(3) seeded at 2 on bar 3, then 3 and 4; the ATR
      // of 5 bars (0, 1, 1, 1, 1) is ready on bar 5.
      {"Keltner", {3, 5, 2}, flat_closes({1, 2, 3, 4}), {}},
      {"Keltner", {3, 5, 2}, flat_closes({1, 2, 3, 4, 5}), {4 + 1.6, 4, 4 - 1.6}},
      {"StarcBands", {2, 3, 1}, flat_closes({1, 2, 3}), {2.5 + 2.0 / 3.0, 2.5, 2.5 - 2.0 / 3.0}},
      // high + low = 0: no widening.
      {"AccelerationBands", {1, 2}, {hlc(1, -1, 0)}, {1, 0, -1}},
      {"AccelerationBands", {1, 2}, {hlc(12, 8, 10)},
       {12 * std::fma(2.0, 0.2, 1.0), 10, 8 * std::fma(-2.0, 0.2, 1.0)}},
      {"MaEnvelope", {2, 1}, flat_closes({10, 20}), {30, 15, 0}},
      {"StandardErrorBands", {3, 2}, flat_closes({1, 2, 3}), {3, 3, 3}},
      // 1, 3, 2 about their mean 2: slope 0.5, intercept -0.5, residuals
      // -0.5, 1, -0.5 (SSE 1.5 over n - 2 = 1); the 9 has left the window.
      {"StandardErrorBands", {3, 2}, flat_closes({9, 1, 3, 2}),
       {2.5 + std::sqrt(1.5) * 2, 2.5, 2.5 - std::sqrt(1.5) * 2}},
      {"ProjectionBands", {2}, {hlc(10, 8, 9), hlc(12, 9, 10)}, {12, 10.5, 9}},
      {"ProjectionBands", {3}, same_bars, {11, 10, 9}},
      {"Donchian", {1}, {hlc(10, 8, 9)}, {10, 9, 8}},
      {"Donchian", {3}, {hlc(20, 1, 10), hlc(12, 9, 10), hlc(11, 8, 10), hlc(13, 10, 12)}, {13, 10.5, 8}},
      {"HurstChannel", {3, 2}, same_bars, {14, 10, 6}},
      // The last two bars: highest 13, lowest 8, closes 10 and 12.
      {"HurstChannel", {2, 2}, {hlc(20, 1, 10), hlc(12, 9, 10), hlc(13, 8, 12)}, {21, 11, 1}},
      {"MedianChannel", {4, 2}, flat_closes({1, 2, 3, 10}), {4.5, 2.5, 0.5}},
      {"QuartileBands", {5}, flat_closes({5, 1, 4, 2, 3}), {4, 3, 2}},
      {"QuartileBands", {1}, flat_closes({5, 7}), {7, 7, 7}},
      {"BomarBands", {4, 0.5}, flat_closes({8, 10, 10, 12}), {11, 10, 9}},
      {"BomarBands", {4, 1.0}, flat_closes({8, 10, 10, 12}), {12, 10, 8}},
      {"BomarBands", {2, 0.5}, flat_closes({-1, 1}), {0, 0, 0}},
      {"TtmSqueeze", {3, 2, 1.5}, flat_closes({10, 10, 10}), {1, 0}},
      // Closes 10, 12 around their SMA 11 and the channel mid 11: the line
      // through -1, 1 reads 1 at the newest bar. The Bollinger band 9 .. 13
      // lies inside 11 -+ 2.5 * 1.5 and outside 11 -+ 2.5 * 0.5.
      {"TtmSqueeze", {2, 2, 1.5}, {hlc(11, 9, 10), hlc(13, 10, 12)}, {1, 1}},
      {"TtmSqueeze", {2, 2, 0.5}, {hlc(11, 9, 10), hlc(13, 10, 12)}, {0, 1}},
      // n = 3: baseline (11 + 10.5) / 2 = 10.75, deviations -0.75, 1.25,
      // 0.25: slope 0.5, intercept -0.25, momentum 0.75. ATR 3; the band
      // 11 -+ 2 sqrt(2/3) reaches below 11 - 3 * 0.5.
      {"TtmSqueeze", {3, 2, 1.5}, {hlc(11, 9, 10), hlc(13, 10, 12), hlc(12, 8, 11)}, {1, 0.75}},
      {"TtmSqueeze", {3, 2, 0.5}, {hlc(11, 9, 10), hlc(13, 10, 12), hlc(12, 8, 11)}, {0, 0.75}},
  };
  for (const Case& c : cases) {
    expect_outputs(last_outputs(c.key, c.params, c.bars), c.want, c.key);
  }
}

TEST(VolBands, TtmSqueezeComparesTheBands) {
  // Closes swing across a steady range: the Bollinger band is about +-2 wide
  // around 10, the Keltner channel k_kc * 2 around it.
  std::vector<Candle> bars;
  for (int i = 0; i < 8; ++i) bars.push_back(hlc(11, 9, i % 2 == 0 ? 9 : 11));
  EXPECT_EQ(last_outputs("TtmSqueeze", {4, 2, 0.1}, bars).at(0), 0.0);
  EXPECT_EQ(last_outputs("TtmSqueeze", {4, 2, 5}, bars).at(0), 1.0);
  // A steady rise has a rising momentum line above its baseline.
  std::vector<Candle> rise;
  for (int i = 0; i < 6; ++i) rise.push_back(hlc(11 + i, 9 + i, 10 + i));
  EXPECT_GT(last_outputs("TtmSqueeze", {4, 2, 1.5}, rise).at(1), 0.0);
}

TEST(VolBands, FractalLevelsNeedAStrictExtremeAtTheCentre) {
  auto bar = [](double high, double low) { return hlc(high, low, low); };
  struct Case {
    std::vector<Candle> bars;
    Outputs want;
  };
  const Case cases[] = {
      {{bar(1, 0.5), bar(2, 0.5), bar(5, 0), bar(2, 0.5), bar(1, 0.5)}, {5, 0}},
      // An equal high elsewhere in the window: no fractal high.
      {{bar(1, 0.5), bar(5, 0.5), bar(5, 0), bar(2, 0.5), bar(1, 0.5)}, {}},
      // Only a fractal high so far.
      {{bar(1, 0.5), bar(2, 0.5), bar(5, 0.5), bar(2, 0.5), bar(1, 0.5)}, {}},
      // Levels hold until the next fractal of their kind.
      {{bar(1, 0.5), bar(2, 0.5), bar(5, 0), bar(2, 0.5), bar(1, 0.5), bar(3, 0.5), bar(4, 0.5)},
       {5, 0}},
  };
  for (const Case& c : cases) {
    expect_outputs(last_outputs("FractalChaosBands", {2}, c.bars), c.want,
                   "case " + std::to_string(&c - cases));
  }
}

// The bands from the relative deviations sorted in full, as the rule reads
// them.
Outputs bomar_by_sorting(const std::vector<double>& xs, double coverage) {
  const std::size_t n = xs.size();
  double sum = -0.0;
  for (double x : xs) sum = sum + x;
  const double mean = sum / double(n);
  const double a = std::abs(mean);
  std::vector<double> devs;
  for (double x : xs) devs.push_back(mean == 0 ? 0.0 : std::abs((x - mean) / a));
  std::sort(devs.begin(), devs.end());
  const double r = sorted_quantile(devs, coverage);
  return {mean + a * r, mean, mean - a * r};
}

// The median channel from every absolute deviation, in ascending order.
Outputs median_channel_in_full(std::vector<double> xs, double m) {
  std::sort(xs.begin(), xs.end());
  const double median = sorted_quantile(xs, 0.5);
  std::vector<double> devs;
  abs_deviations_sorted(xs, median, devs);
  const double mad = sorted_quantile(devs, 0.5);
  return {median + mad * m, median, median - mad * m};
}

// Every 7th bar of a random walk against the full recomputation.
template <class Full>
void expect_windows(const char* key, std::size_t n, double p, Full full) {
  const std::vector<Candle> bars = random_walk(90, 21);
  auto ind = build_indicator(key, std::vector<double>{double(n), p});
  ASSERT_TRUE(ind.ok());
  for (std::size_t end = 1; end <= bars.size(); ++end) {
    if (!step(**ind, bars[end - 1]) || end % 7 != 0) continue;
    std::vector<double> xs;
    for (std::size_t i = end - n; i < end; ++i) xs.push_back(bars[i].close);
    Outputs got;
    for (const NamedOutput& o : (*ind)->outputs()) got.push_back(o.value);
    EXPECT_EQ(got, full(xs, p)) << key << " " << n << " " << p << " bar " << end;
  }
}

TEST(VolBands, DeviationQuantilesMatchTheFullyOrderedDeviations) {
  for (std::size_t n : {1, 2, 4, 5, 20, 31, 32, 40}) {
    for (double coverage : {0.05, 0.5, 0.85, 1.0}) {
      expect_windows("BomarBands", n, coverage, bomar_by_sorting);
    }
    expect_windows("MedianChannel", n, 1.5, median_channel_in_full);
  }
}

TEST(VolBands, ProjectionCoreForOtherUsers) {
  auto s = ProjectionBandsState::create(2).value();
  EXPECT_FALSE(projection_bands_update(s, 10, 8).has_value());
  const auto b = projection_bands_update(s, 12, 9);
  ASSERT_TRUE(b.has_value());
  EXPECT_EQ(b->upper, 12.0);
  EXPECT_EQ(b->lower, 9.0);
  EXPECT_EQ(window_slope(s, s.highs), 2.0);
  EXPECT_EQ(ProjectionBandsState::create(1).error().reason, "projection bands need period >= 2");
}

}  // namespace
}  // namespace fendro::testing
