#include "fendro/indicators/trend/atr_stops.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "fendro/indicators/trend/atr_state.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing {
namespace {

TEST(AtrState, SeedsOnTheMeanThenSmoothsWithTheStoredReciprocal) {
  struct Case {
    std::uint64_t n;
    std::vector<Candle> bars;
    Values want;
  };
  const Case cases[] = {
      // n = 1: every bar's own true range; the first bar's is its range.
      {1, {hlc(10, 8, 9), hlc(15, 14, 14.5), hlc(14, 13, 13)}, {2.0, 6.0, 1.5}},
      // A gap widens the range to the previous close.
      {2, {hlc(10, 8, 9), hlc(12, 9, 11), hlc(11, 10, 10.5)}, {kNone, 2.5, 1.75}},
      // ATR * 5 + TR is rounded once and then multiplied by 1/6 (each of
      // the other three orders gives 2.3155555555555556).
      {6,
       {hlc(2.76, 0, 0), hlc(2.2, 0, 0), hlc(2.82, 0, 0), hlc(2.64, 0, 0), hlc(2.98, 0, 0),
        hlc(2.18, 0, 0), hlc(0.91, 0, 0)},
       {kNone, kNone, kNone, kNone, kNone, 2.5966666666666667, 2.315555555555555}},
  };
  for (const Case& c : cases) {
    AtrState s(c.n);
    Values got;
    for (const Candle& k : c.bars) got.push_back(atr_update(s, k));
    ASSERT_EQ(got.size(), c.want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
      ASSERT_EQ(got[i].has_value(), c.want[i].has_value()) << "n=" << c.n << " bar " << i;
      if (got[i]) {
        EXPECT_EQ(*got[i], *c.want[i]) << "n=" << c.n << " bar " << i;
      }
    }
  }
}

TEST(AtrState, FlatBarsDecayByTheSmoothingFactor) {
  AtrState s(4);
  for (double h : {12.0, 14.0, 16.0, 18.0}) atr_update(s, hlc(h, 10, 10));
  ASSERT_EQ(s.atr, 5.0);  // ranges 2, 4, 6, 8
  EXPECT_EQ(*atr_update(s, flat(10)), 3.75);
  EXPECT_EQ(*atr_update(s, flat(10)), 2.8125);
}

struct StopCase {
  const char* name;
  TypeFactory build;
  std::vector<Candle> bars;
  Values values;
  Values directions;  // empty for the single-output stops
};

TEST(AtrStops, FollowThePriceAndFlipOnCrossings) {
  const std::vector<Candle> swing = {hlc(10, 8, 9),   hlc(11, 9, 10.5), hlc(11, 10, 10),
                                     hlc(10, 7, 7),   hlc(10, 9, 9.5),  hlc(13, 12, 13),
                                     hlc(10, 9.5, 9.5)};
  const std::vector<Candle> wide(7, hlc(11, 9, 10));
  const StopCase cases[] = {
      // The last close sits exactly on the stop: the stop goes above it.
      {"AtrTrailingStop", factory<AtrTrailingStop>(std::uint64_t{1}, 1.0), swing,
       {7.0, 8.5, 9.0, 10.0, 10.0, 9.5, 13.0}, {}},
      {"SuperTrend", factory<SuperTrend>(std::uint64_t{1}, 1.0),
       {hlc(10, 8, 9), hlc(11, 9, 10.5), hlc(10, 6, 6.5), hlc(8, 6, 7.5), hlc(12, 9, 11)},
       {7.0, 8.0, 11.0, 9.0, 6.0}, {1.0, 1.0, -1.0, -1.0, 1.0}},
      // Band = true range. Bar 2 closes exactly on the lower band (7) and
      // stays long; bar 3 crosses it; bar 4 closes exactly on the upper band
      // (8) and stays short; bar 5 crosses it.
      {"SuperTrend close on a band", factory<SuperTrend>(std::uint64_t{1}, 1.0),
       {hlc(10, 8, 9), hlc(9, 7, 7), hlc(7, 5, 5), hlc(8, 6, 8), hlc(10, 8, 9.5)},
       {7.0, 7.0, 8.0, 8.0, 7.0}, {1.0, 1.0, -1.0, -1.0, 1.0}},
      // A close equal to the moved stop keeps the side; the next bar flips.
      {"AtrRatchet", factory<AtrRatchet>(std::uint64_t{1}, 2.0, 0.5), wide,
       {6.0, 7.0, 8.0, 9.0, 10.0, 14.0, 13.0}, {1.0, 1.0, 1.0, 1.0, 1.0, -1.0, -1.0}},
      {"VoltyStop", factory<VoltyStop>(std::uint64_t{1}, 1.0),
       {hlc(10, 8, 9), hlc(11, 9, 10.5), hlc(10, 9, 10), hlc(9, 5, 5.5), hlc(6, 4, 4),
        hlc(5, 4, 4.5), hlc(8, 6, 7.5), hlc(10, 8, 9.5)},
       {7.0, 8.5, 9.0, 5.5, 6.0, 5.0, 7.5, 7.0}, {}},  // bars 4 and 7 touch the band
      {"YoyoExit", factory<YoyoExit>(std::uint64_t{1}, 1.0),
       {hlc(10, 8, 9), hlc(11, 9, 10.5), hlc(10, 6, 7), hlc(12, 11, 12), hlc(14, 13, 14),
        hlc(14, 13, 13.5)},
       {7.0, 8.5, 8.5, 8.5, 12.0, 12.5}, {}},
      {"Nrtr", factory<Nrtr>(10.0),
       {flat(100), flat(110), flat(98), flat(97), flat(108)},
       {90.0, 99.0, 107.8, 106.7, 97.2}, {1.0, 1.0, -1.0, -1.0, 1.0}},
      {"Nrtr constant", factory<Nrtr>(50.0), std::vector<Candle>(3, flat(10)),
       {5.0, 5.0, 5.0}, {1.0, 1.0, 1.0}},
  };
  for (const StopCase& c : cases) {
    auto ind = c.build();
    if (c.directions.empty()) {
      expect_values(run(*ind, c.bars), c.values, c.name);
      EXPECT_TRUE(ind->outputs().empty()) << c.name;
    } else {
      expect_values(run_output(*ind, c.bars, 1), c.directions, c.name);
      auto again = c.build();
      expect_values(run(*again, c.bars), c.values, c.name);
    }
  }
}

}  // namespace
}  // namespace fendro::testing
