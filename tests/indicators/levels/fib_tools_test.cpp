// The Fibonacci tools on hand-built swings, through the registry.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "fendro/indicators/levels/fib_geometry.hpp"
#include "fendro/indicators/levels/fib_retracements.hpp"
#include "fendro/registry/registry.hpp"
#include "indicators/levels/levels_testing.hpp"

namespace fendro::testing {
namespace {

// Swing high 100 (bar 0) confirmed on bar 1, swing low 95 (bar 1) on bar 2.
const std::vector<Candle> kHighThenLow = {hl(100, 98), hl(99, 95), hl(99.75, 96)};
// ... then a swing high 99.75 (bar 2) confirmed on bar 3.
const std::vector<Candle> kThreePivots = {hl(100, 98), hl(99, 95), hl(99.75, 96), hl(99, 94)};
// Swing high 100 (bar 0), swing low 90 (bar 4), confirmed on bar 5.
const std::vector<Candle> kSlowLeg = {hl(100, 99), hl(99, 97), hl(98, 96),
                                      hl(96, 94),  hl(93, 90), hl(95, 92)};
// Pivots 100, 90, 96, confirmed by bar 3.
const std::vector<Candle> kConfluence = {hl(100, 99), hl(95, 90), hl(96, 94), hl(95, 91)};
// Pivots 100, 90, 100: two legs of equal size.
const std::vector<Candle> kEqualLegs = {hl(100, 99), hl(95, 90), hl(100, 98), hl(95, 89)};
// Pivots 100, 80, 95: the older leg is larger.
const std::vector<Candle> kLargerOlderLeg = {hl(100, 99), hl(85, 80), hl(95, 94), hl(90, 85)};

std::vector<Candle> join(std::vector<Candle> a, const std::vector<Candle>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(FibTools, LevelsOfHandBuiltSwings) {
  const double k = std::sqrt(1 - 0.25 * 0.25);
  const LevelCase cases[] = {
      {"FibRetracement", {}, kHighThenLow, {95, 96.18, 96.91, 97.5, 98.09, 98.93, 100}},
      {"GoldenPocket", {}, kHighThenLow, {98.09, 98.17, 98.25}},
      {"AutoFib", {}, kHighThenLow, {95, 96.18, 96.91, 97.5, 98.09, 98.93, 100}},
      {"FibExtension", {}, kHighThenLow, {93.64, 92.93, 91.91, 90, 86.91}},
      {"FibProjection", {}, kHighThenLow, {}},
      {"FibProjection", {}, kThreePivots, {96.66, 94.75, 91.66, 86.66}},
      // The newest of equal legs (90 -> 100), and a larger older leg.
      {"AutoFib", {}, kEqualLegs, {100, 97.64, 96.18, 95, 93.82, 92.14, 90}},
      {"AutoFib", {}, kLargerOlderLeg, {80, 84.72, 87.64, 90, 92.36, 95.72, 100}},
      // Two bars after the older pivot, one leg long: t = 2.
      {"FibFan", {}, kHighThenLow, {93.82, 95, 96.18}},
      {"FibArcs", {}, kSlowLeg, {90 + 3.82 * k, 90 + 5 * k, 90 + 6.18 * k}},
      {"FibArcs", {}, join(kSlowLeg, {hl(94, 93), hl(94, 93), hl(94, 93)}), {90, 90, 90}},
      {"FibArcs", {}, join(kSlowLeg, {hl(94, 93), hl(94, 93), hl(94, 93), hl(94, 93)}),
       {90, 90, 90}},
      {"FibChannel", {}, kSlowLeg, {}},
      {"FibChannel", {}, join(kSlowLeg, {hl(94, 90)}), {94, 90.292, 88, 84.292}},
      {"FibConfluence", {}, kHighThenLow, {}},
      {"FibConfluence", {}, kConfluence, {94, 6}},
      // Pivots 100, 67, 103: two clusters of three (means 87.214, 85.298); the later wins.
      {"FibConfluence", {}, {hl(100, 99), hl(70, 67), hl(103, 80), hl(100, 97)}, {85.298, 3}},
      {"FibTimeZones", {}, {hl(100, 98)}, {}},
  };
  expect_level_cases(cases);
}

TEST(FibTools, TimeZonesCountBarsSinceTheNewestPivot) {
  auto ind = std::move(build_indicator("FibTimeZones", {})).value();
  feed(*ind, {hl(100, 98)});
  struct Step {
    Candle bar;
    std::vector<double> outputs;  // on_zone, bars_to_next
  };
  // The swing high of bar 0 is confirmed on bar 1; later bars move nothing.
  const Step steps[] = {{hl(99, 95), {1, 1}},
                        {hl(99, 96), {1, 1}},
                        {hl(99, 96), {1, 2}},
                        {hl(99, 96), {0, 1}},
                        {hl(99, 96), {1, 3}}};
  for (const Step& s : steps) {
    ASSERT_TRUE(step(*ind, s.bar));
    EXPECT_EQ(output_values(*ind), s.outputs);
  }
}

TEST(FibTools, ZoneNumbers) {
  struct Case {
    std::uint64_t e;
    bool on_zone;
    std::uint64_t next;
  };
  const Case cases[] = {{0, false, 1},  {1, true, 2},   {2, true, 3},   {4, false, 5},
                        {8, true, 13},  {12, false, 13}, {13, true, 21}, {20, false, 21},
                        {~0ull - 1, false, ~0ull}};
  for (const Case& c : cases) {
    const FibZone z = fib_time_zone(c.e);
    EXPECT_EQ(z.on_zone, c.on_zone) << c.e;
    EXPECT_EQ(z.next, c.next) << c.e;
  }
}

TEST(FibTools, ConfluenceClusterIsRelativeAndOneSided) {
  // The bound is 3% of the larger magnitude, inclusive: 97 and 100 take each
  // other, 103.1 is just out of 100's reach; zeros meet at the tiny floor.
  const double levels[] = {100, 97, 103.1, 0, -0.0};
  struct Case {
    std::size_t at;
    std::size_t count;
    double sum;
  };
  const Case cases[] = {{0, 2, 197}, {1, 2, 197}, {2, 1, 103.1}, {3, 2, 0}, {4, 2, 0}};
  for (const Case& c : cases) {
    const FibCluster got = fib_confluence_cluster(levels, 5, c.at);
    EXPECT_EQ(got.count, c.count) << c.at;
    EXPECT_EQ(got.sum, c.sum) << c.at;
  }
}

// Every valued bar reports the rule's levels of the pivots as they stand,
// whether or not the tool recomputed them on that bar.
template <class Rule>
void expect_levels_of_current_pivots(const std::vector<Candle>& series) {
  SwingLevels<Rule> tool;
  SwingTracker shadow(Rule::kMaxPivots);
  std::size_t valued = 0;
  for (const Candle& c : series) {
    shadow.update(c.high, c.low);
    if (!step(tool, c)) continue;
    ++valued;
    const auto want = Rule::levels(shadow);
    const auto got = tool.outputs();
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t j = 0; j < want.size(); ++j) ASSERT_EQ(got[j].value, want[j]);
  }
  EXPECT_GT(valued, series.size() / 2);
}

TEST(FibTools, LevelsFollowThePivotsOnEveryBar) {
  const auto series = random_walk(5000, 21);
  expect_levels_of_current_pivots<GoldenPocketRule>(series);
  expect_levels_of_current_pivots<FibRetracementRule>(series);
  expect_levels_of_current_pivots<AutoFibRule>(series);
  expect_levels_of_current_pivots<FibExtensionRule>(series);
  expect_levels_of_current_pivots<FibProjectionRule>(series);
  expect_levels_of_current_pivots<FibConfluenceRule>(series);
  expect_levels_of_current_pivots<FibTimeZonesRule>(series);
  expect_levels_of_current_pivots<FibFanRule>(series);
  expect_levels_of_current_pivots<FibArcsRule>(series);
  expect_levels_of_current_pivots<FibChannelRule>(series);
}

}  // namespace
}  // namespace fendro::testing
