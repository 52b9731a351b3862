#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

#include "fendro/indicators/trend/channel_stops.hpp"
#include "fendro/indicators/trend/elder_safezone.hpp"
#include "fendro/indicators/trend/kase_devstop.hpp"
#include "fendro/indicators/trend/modified_ma_stop.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing {
namespace {

struct Case {
  const char* name;
  TypeFactory build;
  std::vector<Candle> bars;
  Values first;   // the value update returns
  Values second;  // the second named output
};

TEST(ChannelAndDeviationStops, HandValues) {
  const std::vector<Candle> four = {hlc(10, 8, 9), hlc(12, 9, 11), hlc(11, 7, 8),
                                    hlc(13, 10, 12)};
  const Case cases[] = {
      {"ChandelierExit n=1", factory<ChandelierExit>(std::uint64_t{1}, 2.0),
       {hlc(10, 8, 9), hlc(12, 9, 11)}, {6.0, 6.0}, {12.0, 15.0}},
      {"ChandelierExit flat", factory<ChandelierExit>(std::uint64_t{2}, 3.0),
       std::vector<Candle>(3, flat(7)), {kNone, 7.0, 7.0}, {kNone, 7.0, 7.0}},
      {"ChandeKrollStop q=1", factory<ChandeKrollStop>(std::uint64_t{3}, std::uint64_t{1}, 1.0),
       four, {kNone, kNone, 10.0, 10.0 + 2.0 / 3}, {kNone, kNone, 9.0, 9.0 + 1.0 / 3}},
      {"ChandeKrollStop q=2", factory<ChandeKrollStop>(std::uint64_t{3}, std::uint64_t{2}, 1.0),
       four, {kNone, kNone, kNone, 10.0}, {kNone, kNone, kNone, 9.0 + 1.0 / 3}},
      {"DonchianStop", factory<DonchianStop>(std::uint64_t{3}),
       {hlc(5, 1, 1), hlc(7, 2, 2), hlc(6, 3, 3), hlc(4, 2, 2)}, {kNone, kNone, 1.0, 2.0},
       {kNone, kNone, 7.0, 7.0}},
      // Rising lows: no downside penetration, the long stop trails the lows;
      // then a close under the stop flips to the short side.
      {"ElderSafeZone", factory<ElderSafeZone>(std::uint64_t{2}, 2.0),
       {hlc(10, 8, 9), hlc(11, 9, 10), hlc(12, 10, 11), hlc(12.5, 9.5, 12), hlc(12, 9, 9.5)},
       {kNone, kNone, 10.0, 10.0, 13.0}, {kNone, kNone, 1.0, 1.0, -1.0}},
      {"KaseDevStop", factory<KaseDevStop>(std::uint64_t{2}, 1.0),
       {hlc(10, 8, 9), hlc(11, 9, 10), hlc(12, 10, 11), hlc(13, 11, 12.5), hlc(12, 8, 8.5)},
       {kNone, kNone, 9.0, 10.0, 12.0 + std::sqrt(2.0)}, {kNone, kNone, 1.0, 1.0, -1.0}},
      // A close on the stop keeps the direction.
      {"KaseDevStop flat", factory<KaseDevStop>(std::uint64_t{2}, 1.0),
       std::vector<Candle>(5, flat(4)), {kNone, kNone, 4.0, 4.0, 4.0},
       {kNone, kNone, 1.0, 1.0, 1.0}},
      {"ModifiedMaStop", factory<ModifiedMaStop>(std::uint64_t{3}),
       {flat(1), flat(2), flat(3), flat(0.5)}, {kNone, kNone, 2.0, 1.5},
       {kNone, kNone, 1.0, -1.0}},
  };
  for (const Case& c : cases) {
    auto a = c.build();
    expect_values(run(*a, c.bars), c.first, c.name);
    auto b = c.build();
    expect_values(run_output(*b, c.bars, 1), c.second, c.name);
  }
}

TEST(ChannelAndDeviationStops, PenetrationMeanCountsOnlyPositiveBars) {
  PenetrationWindow w(3);
  for (double v : {0.0, 2.0, 0.0}) push_penetration(w, v);
  EXPECT_EQ(w.positive_mean(), 2.0);
  push_penetration(w, 4.0);  // evicts a zero
  EXPECT_EQ(w.positive_mean(), 3.0);
  push_penetration(w, 0.0);  // evicts the 2
  push_penetration(w, 0.0);
  EXPECT_EQ(w.positive_mean(), 4.0);
  push_penetration(w, 0.0);  // evicts the 4: no positive left
  EXPECT_EQ(w.positives, 0u);
  EXPECT_EQ(w.positive_mean(), 0.0);
}

}  // namespace
}  // namespace fendro::testing
