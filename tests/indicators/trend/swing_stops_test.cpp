#include "fendro/indicators/trend/swing_stops.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "indicators/testing.hpp"
#include "indicators/trend/factory_cases.hpp"

namespace fendro::testing {
namespace {

TEST(SwingStops, HandValues) {
  const FactoryCase cases[] = {
      {"ZigZag", factory<ZigZag>(0.1),
       {hlc(100, 95, 99), hlc(110, 100, 108), hlc(105, 98, 99), hlc(100, 95, 96),
        hlc(105, 100, 104)},
       {kNone, kNone, 110.0, kNone, 95.0}},
      {"ZigZag first bar high", factory<ZigZag>(0.5), {hlc(100, 90, 95), hlc(99, 40, 50)},
       {kNone, 100.0}},
      {"HiLoActivator n=1", factory<HiLoActivator>(std::uint64_t{1}),
       {hlc(10, 8, 9), hlc(11, 9, 10.5), hlc(10.5, 7, 7.5), hlc(10, 8, 9)},
       {kNone, 8.0, 11.0, 10.5}},
      {"HiLoActivator n=2", factory<HiLoActivator>(std::uint64_t{2}),
       {hlc(10, 8, 9), hlc(12, 10, 11), hlc(14, 12, 13), hlc(13, 9, 9.5)},
       {kNone, kNone, 9.0, 13.0}},
      {"TimeBasedStop", factory<TimeBasedStop>(std::uint64_t{4}), std::vector<Candle>(6, flat(1)),
       {0.25, 0.5, 0.75, 1.0, 1.0, 1.0}},
      {"PercentageTrailingStop", factory<PercentageTrailingStop>(10.0), flat_closes({100, 105, 94}),
       {90.0, 94.5, 103.4}},
      // No upper bound: a long stop below zero.
      {"PercentageTrailingStop 150", factory<PercentageTrailingStop>(150.0), flat_closes({10}), {-5.0}},
      {"RenkoTrailingStop", factory<RenkoTrailingStop>(2.0), flat_closes({100, 103.9, 104, 101.9}),
       {98.0, 100.0, 102.0, 103.9}},
      // Exactly one brick below the base does not switch sides.
      {"RenkoTrailingStop edge", factory<RenkoTrailingStop>(2.0), flat_closes({100, 98, 97.9}),
       {98.0, 98.0, 99.9}},
      {"StepTrailingStop", factory<StepTrailingStop>(5.0), flat_closes({101, 94, 100, 101}),
       {95.0, 100.0, 100.0, 95.0}},
  };
  for (const FactoryCase& c : cases) {
    auto ind = c.build();
    expect_values(run(*ind, c.bars), c.want, c.name);
  }
}

TEST(SwingStops, ZigZagKeepsTheLastConfirmedSwing) {
  auto z = ZigZag::create(0.1).value();
  for (const Candle& c : {hlc(100, 95, 99), hlc(110, 100, 108), hlc(105, 98, 99)}) step(z, c);
  ASSERT_EQ(z.outputs().size(), 2u);
  EXPECT_EQ(z.outputs()[1].value, 1.0);
  EXPECT_FALSE(step(z, hlc(100, 95, 96)));
  EXPECT_EQ(z.outputs()[0].value, 110.0);  // unchanged between confirmations
  EXPECT_EQ(*step(z, hlc(105, 100, 104)), 95.0);
  EXPECT_EQ(z.outputs()[1].value, -1.0);
}

TEST(SwingStops, HiLoActivatorRebuildsItsSumsEveryPeriod) {
  // A huge first low swallows the small ones in the running sum; the exact
  // rebuild every n pushes restores the plain mean of the window.
  auto h = HiLoActivator::create(3).value();
  step(h, hlc(1e16 + 2, 1e16, 1e16 + 1));
  for (int i = 0; i < 5; ++i) step(h, hlc(5, 1, 5));
  // A close above the previous average high: long, at the previous average low.
  EXPECT_EQ(step(h, hlc(7, 1, 7)), 1.0);
}

TEST(SwingStops, HiLoActivatorRebuildsAtEveryNthPushCountedFromTheFirst) {
  // The huge high enters at push 6 and leaves at push 9, and swallows the
  // ones beside it. The rebuilds fall on pushes 3, 6 and 9 (the window fills
  // at the 3rd), so the one at push 9 finds the window [1, 1, 1]. Counted
  // one push late, the running sum would have kept 1 of the three at push 9.
  auto h = HiLoActivator::create(3).value();
  for (const double high : {1.0, 1.0, 1.0, 1.0, 1.0, 1e16, 1.0, 1.0, 1.0}) {
    step(h, hlc(high, 0.5, 0.5));
  }
  // A close below the previous average low: short, at the previous average high.
  EXPECT_EQ(step(h, hlc(1, 0.25, 0.25)), 1.0);
}

}  // namespace
}  // namespace fendro::testing
