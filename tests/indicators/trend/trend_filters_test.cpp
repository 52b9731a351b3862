#include "fendro/indicators/trend/trend_filters.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

#include "indicators/testing.hpp"
#include "indicators/trend/factory_cases.hpp"

namespace fendro::testing {
namespace {

struct Case {
  const char* name;
  TypeFactory build;
  std::vector<Candle> bars;
  Values want;
  bool exact = false;  // compare bit for bit (fused and ordered arithmetic)
};

TEST(TrendFilters, HandValues) {
  const double s2 = std::sqrt(2.0);
  const Case cases[] = {
      {"VHF", factory<VerticalHorizontalFilter>(std::uint64_t{2}), flat_closes({1, 3, 2, 5}),
       {kNone, kNone, 1.0 / 3, 0.75}},
      {"VHF constant", factory<VerticalHorizontalFilter>(std::uint64_t{3}), flat_closes({4, 4, 4, 4, 4}),
       {kNone, kNone, kNone, 0.0, 0.0}},
      {"PFE up", factory<PolarizedFractalEfficiency>(std::uint64_t{1}, std::uint64_t{1}),
       flat_closes({10, 10.75}), {kNone, 100.0}, true},
      {"PFE down", factory<PolarizedFractalEfficiency>(std::uint64_t{1}, std::uint64_t{1}),
       flat_closes({10, 9.25}), {kNone, -100.0}, true},
      {"PFE flat", factory<PolarizedFractalEfficiency>(std::uint64_t{1}, std::uint64_t{1}),
       flat_closes({10, 10}), {kNone, 0.0}, true},
      {"PFE n=2", factory<PolarizedFractalEfficiency>(std::uint64_t{2}, std::uint64_t{1}),
       flat_closes({10, 11, 13, 12}), {kNone, kNone, 98.77460782352549, 61.25741132772069}, true},
      {"PFE smoothed", factory<PolarizedFractalEfficiency>(std::uint64_t{1}, std::uint64_t{2}),
       flat_closes({10, 10.75, 10.75, 9.25}), {kNone, kNone, 50.0, -50.0}},
      {"TSI rising", factory<TrendStrengthIndex>(std::uint64_t{5}), flat_closes({1, 2, 3, 4, 5}),
       {kNone, kNone, kNone, kNone, 1.0}},
      {"TSI falling", factory<TrendStrengthIndex>(std::uint64_t{5}), flat_closes({5, 4, 3, 2, 1}),
       {kNone, kNone, kNone, kNone, -1.0}},
      {"TSI constant", factory<TrendStrengthIndex>(std::uint64_t{3}), flat_closes({2, 2, 2}),
       {kNone, kNone, 0.0}, true},
      {"TSI noisy", factory<TrendStrengthIndex>(std::uint64_t{3}), flat_closes({1, 3, 2, 5, 4}),
       {kNone, kNone, 0.25, 0.42857142857142866, 0.42857142857142855}, true},
      // First value on bar max(4 + 2 - 1, 3) + 1 = 6.
      {"ElderImpulse", factory<ElderImpulse>(std::uint64_t{3}, std::uint64_t{2}, std::uint64_t{4},
                                          std::uint64_t{2}),
       flat_closes({1, 2, 4, 8, 16, 32, 64, 128, 100, 90, 80}),
       {kNone, kNone, kNone, kNone, kNone, 1.0, 1.0, 1.0, 0.0, -1.0, 0.0}},
      {"ElderImpulse constant", factory<ElderImpulse>(std::uint64_t{1}, std::uint64_t{1},
                                                   std::uint64_t{2}, std::uint64_t{1}),
       flat_closes({3, 3, 3, 3}), {kNone, kNone, 0.0, 0.0}},
      // A close on the average is not above it.
      {"TtmTrend", factory<TtmTrend>(std::uint64_t{1}),
       {hlc(10, 8, 9), hlc(10, 8, 9.5), hlc(10, 8, 8.5)}, {-1.0, 1.0, -1.0}},
      {"TtmTrend n=2", factory<TtmTrend>(std::uint64_t{2}), {hlc(10, 8, 9), hlc(12, 10, 10.5)},
       {kNone, 1.0}},
      // The median price of huge prices is taken by halves, not overflowed.
      {"TtmTrend huge", factory<TtmTrend>(std::uint64_t{1}), {hlc(1.7e308, 1.6e308, 1.69e308)},
       {1.0}},
      {"Vortex", factory<Vortex>(std::uint64_t{2}),
       {hlc(10, 8, 9), hlc(12, 9, 11), hlc(11, 7, 8), hlc(13, 10, 12)},
       {kNone, kNone, 6.0 / 7, 8.0 / 9}},
      {"Vortex flat", factory<Vortex>(std::uint64_t{2}), std::vector<Candle>(4, flat(3)),
       {kNone, kNone, 0.0, 0.0}},
      {"Rwi n=2", factory<Rwi>(std::uint64_t{2}), {hlc(10, 8, 9), hlc(12, 9, 11)},
       {kNone, 4 / (s2 * 3)}},
      {"Rwi flat", factory<Rwi>(std::uint64_t{3}), std::vector<Candle>(4, flat(3)),
       {kNone, kNone, 0.0, 0.0}},
  };
  for (const Case& c : cases) {
    auto ind = c.build();
    const Values got = run(*ind, c.bars);
    if (c.exact) {
      EXPECT_TRUE(same_bits(got, c.want)) << c.name;
    } else {
      expect_values(got, c.want, c.name);
    }
  }
}

TEST(TrendFilters, SecondLines) {
  const double s2 = std::sqrt(2.0);
  const FactoryCase cases[] = {
      {"Vortex", factory<Vortex>(std::uint64_t{2}),
       {hlc(10, 8, 9), hlc(12, 9, 11), hlc(11, 7, 8), hlc(13, 10, 12)},
       {kNone, kNone, 6.0 / 7, 6.0 / 9}},
      {"Rwi", factory<Rwi>(std::uint64_t{2}), {hlc(10, 8, 9), hlc(12, 9, 11)},
       {kNone, 1 / (s2 * 3)}},
      // Spans with zero mean range are skipped, not divided by.
      {"Rwi gap", factory<Rwi>(std::uint64_t{3}), {hlc(8, 4, 6), hlc(7, 5, 6), flat(6)},
       {kNone, kNone, 2 / std::sqrt(3.0)}},
  };
  for (const FactoryCase& c : cases) {
    auto ind = c.build();
    expect_values(run_output(*ind, c.bars, 1), c.want, c.name);
  }
}

TEST(TrendFilters, CloseOnlyTypesIgnoreTheRestOfTheCandle) {
  // A candle whose high is below its low still has a usable close.
  Candle odd = flat(3);
  odd.high = 1;
  auto vhf = VerticalHorizontalFilter::create(1).value();
  step(vhf, flat(1));
  EXPECT_EQ(step(vhf, odd), 0.0);  // one close in the window: no range
  auto ttm = TtmTrend::create(1).value();
  EXPECT_FALSE(step(ttm, odd));  // whole-candle types refuse it
}

}  // namespace
}  // namespace fendro::testing
