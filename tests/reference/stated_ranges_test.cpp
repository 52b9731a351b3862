// The generator's range check, given planted texts and reaches: a phrase
// neither listed nor set aside, a range passed by more than its text says,
// a stated excursion never reached, and a stale listing are each named.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <vector>

#include "indicators/all_feeds.hpp"
#include "reference/stated_range_runs.hpp"
#include "reference/stated_ranges.hpp"

namespace fendro::reference {
namespace {

constexpr RangeClaim kTable[] = {{"Osc", "0 to 100", ""}, {"Pair", "-1 to 1", "a, b"}};
constexpr OtherSpan kOthers[] = {{"Osc", "8 to 15"}};

TEST(StatedRanges, ReadsEachNumberToNumberPhrase) {
  const std::vector<RangePhrase> got =
      range_phrases("An index, from -1 to 1.5 (hours 8 to 15), 0 to 100. Not 1..1, 1 to `n`, x2 to 3 or 1.x to 2.");
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].text, "-1 to 1.5");
  EXPECT_EQ(got[0].low, -1.0);
  EXPECT_EQ(got[0].high, 1.5);
  EXPECT_EQ(got[1].text, "8 to 15");
  EXPECT_EQ(got[2].text, "0 to 100");
}

TEST(StatedRanges, ReadsStatedExcursions) {
  const std::vector<StatedExcursion> got = stated_excursions(
      "passing 100 by a unit in the last place when ...; passing -1 by 3 units in the last place; "
      "passing 0 by 1 units in the last place; passing by a unit");
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].bound, 100.0);
  EXPECT_EQ(got[0].ulps, 1u);
  EXPECT_EQ(got[1].bound, -1.0);
  EXPECT_EQ(got[1].ulps, 3u);
}

TEST(StatedRanges, UlpsPastABoundCountRepresentableNumbers) {
  EXPECT_EQ(ulps_past(std::nextafter(100.0, 200.0), 100.0, true), 1u);
  EXPECT_EQ(ulps_past(100.0, 100.0, true), 0u);
  EXPECT_EQ(ulps_past(99.0, 100.0, true), 0u);
  EXPECT_EQ(ulps_past(-0.0, 0.0, false), 0u);
  EXPECT_EQ(ulps_past(-0x1p-1074, 0.0, false), 1u);
  EXPECT_EQ(ulps_past(std::nextafter(std::nextafter(-1.0, -2.0), -2.0), -1.0, false), 2u);
}

// The bits of |v|: its ordinal among the numbers of its sign.
std::uint64_t bits(double v) { return std::bit_cast<std::uint64_t>(std::abs(v)); }

// A value, a bound, its side, and how many numbers the value lies past it.
struct UlpsCase {
  double v, bound;
  bool above;
  std::uint64_t expected;
};

void expect_ulps_past(std::span<const UlpsCase> cases) {
  for (const UlpsCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.v) + (std::signbit(c.v) ? " (sign set)" : "") + " against " +
                 std::to_string(c.bound));
    EXPECT_EQ(ulps_past(c.v, c.bound, c.above), c.expected);
  }
}

// A value and a bound on opposite sides of 0 lie up to 2^64 - 2 numbers
// apart: more than a signed difference of ordinals holds.
TEST(StatedRanges, UlpsPastCountAcrossZeroWithoutOverflow) {
  const UlpsCase cases[] = {
      {0.045, -100.0, false, 0},                          // inside, far from the low bound
      {-0.045, 100.0, true, 0},                           // inside, far from the high bound
      {0.045, -100.0, true, bits(0.045) + bits(-100.0)},  // past a high bound of the other sign
      {-0.045, 100.0, false, bits(-0.045) + bits(100.0)},
      {-100.0, 0.045, false, bits(-100.0) + bits(0.045)},
      {INFINITY, -INFINITY, true, 2 * bits(INFINITY)},  // the widest: 2^64 - 2^53 * 2
      {-INFINITY, INFINITY, false, 2 * bits(INFINITY)},
      {0x1p-1074, -0x1p-1074, true, 2},
  };
  expect_ulps_past(cases);
  EXPECT_GT(2 * bits(INFINITY), std::uint64_t{1} << 63);
}

// A NaN lies beyond the infinity of its sign: a clear sign bit is past every
// high bound and no low one, a set sign bit past every low bound and no high
// one, by the distance of its bits.
TEST(StatedRanges, UlpsPastCountANaNPastEveryBoundOfItsSignsSide) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double negative_nan = std::copysign(nan, -1.0);
  const UlpsCase cases[] = {
      {nan, 100.0, true, bits(nan) - bits(100.0)},
      {nan, INFINITY, true, bits(nan) - bits(INFINITY)},
      {nan, -100.0, true, bits(nan) + bits(-100.0)},
      {nan, -INFINITY, false, 0},
      {nan, 100.0, false, 0},
      {negative_nan, -100.0, false, bits(negative_nan) - bits(-100.0)},
      {negative_nan, -INFINITY, false, bits(negative_nan) - bits(-INFINITY)},
      {negative_nan, 0.0, false, bits(negative_nan)},
      {negative_nan, INFINITY, true, 0},
      {negative_nan, -100.0, true, 0},
  };
  expect_ulps_past(cases);
}

struct Planted {
  const char* name;
  const char* key;
  const char* text;
  double min, max;        // the reach measured
  std::size_t faults;     // how many the text and the reach give together
  const char* first;      // a part of the first fault's wording
};

TEST(StatedRanges, EachPlantedTextGivesItsFaults) {
  const double above = std::nextafter(100.0, 200.0);
  const std::vector<Planted> cases = {
      {"held", "Osc", "An index, 0 to 100 (hours 8 to 15).", 0.0, 100.0, 0, ""},
      {"passed unstated", "Osc", "An index, 0 to 100.", 0.0, above, 1, "by 1 units in the last place, the text states 0"},
      {"stated and reached", "Osc", "0 to 100, passing 100 by a unit in the last place when ...", 0.0, above, 0, ""},
      {"stated, never reached", "Osc", "0 to 100, passing 100 by a unit in the last place when ...", 0.0, 100.0, 1,
       "by 0 units in the last place, the text states 1"},
      {"passed by more than stated", "Osc", "0 to 100, passing 100 by a unit in the last place.", 0.0,
       std::nextafter(above, 200.0), 1, "by 2 units"},
      {"low side", "Osc", "0 to 100.", -1e-300, 100.0, 1, "least -1e-300"},
      {"unknown phrase", "Osc", "An index, 0 to 100, at 2 to 3.", 0.0, 100.0, 1, "\"2 to 3\" is neither"},
      {"unknown key", "Other", "An index, 0 to 100.", 0.0, 100.0, 1, "\"0 to 100\" is neither"},
      {"excursion of no bound", "Osc", "0 to 100, passing 50 by a unit in the last place.", 0.0, 100.0, 1,
       "passing 50 follows no range"},
      {"both bounds at once", "Osc", "0 to 100, passing 0 and 100 by a unit in the last place.", -0x1p-1074, above,
       0, ""},
      {"exact arithmetic, passed far", "Osc", "0 to 100 in exact arithmetic: running sums ...", -1e-12, 100.0, 0, ""},
      {"exact arithmetic, never passed far", "Osc", "0 to 100 in exact arithmetic: running sums ...", 0.0, above, 1,
       "state it plainly"},
      {"too far to be its range", "Osc", "0 to 100, passing 100 by 9 units in the last place.", 0.0, 100.0 + 9 * 0x1p-46,
       1, "is not its range"},
  };
  for (const Planted& c : cases) {
    SCOPED_TRACE(c.name);
    ReadClaims read = read_claims(c.key, c.text, kTable, kOthers);
    std::vector<std::string> faults = read.faults;
    for (const Claimed& claim : read.claims) {
      Reach r;
      r.add(c.min, "planted", 0);
      r.add(c.max, "planted", 1);
      r.add(NAN, "planted", 2);
      for (std::string& f : reach_faults(claim, "", r)) faults.push_back(std::move(f));
    }
    ASSERT_EQ(faults.size(), c.faults);
    if (c.faults > 0) {
      EXPECT_NE(faults[0].find(c.first), std::string::npos) << faults[0];
    }
  }
}

TEST(StatedRanges, EachNamedOutputIsJudgedAndAClaimWithoutValuesFails) {
  const ReadClaims read = read_claims("Pair", "Two outputs, -1 to 1.", kTable, kOthers);
  ASSERT_EQ(read.claims.size(), 1u);
  EXPECT_EQ(read.claims[0].outputs, "a, b");
  const std::vector<std::string> faults = reach_faults(read.claims[0], "b", Reach{});
  ASSERT_EQ(faults.size(), 1u);
  EXPECT_NE(faults[0].find("of `b` was never given a value"), std::string::npos) << faults[0];
}

// A bound no value reaches is not the range's, unless it is listed as only
// approached; one so listed must then stay unreached, on whichever side.
TEST(StatedRanges, EachBoundIsReachedUnlessListedAsApproached) {
  constexpr RangeClaim table[] = {{"Osc", "0 to 101", ""}, {"Rank", "0 to 100", ""}, {"Ratio", "-1 to 1", ""}};
  constexpr UnreachedBound approached[] = {{"Rank", "0 to 100", 100, "counts itself half"}};
  struct Case {
    const char* name;
    const char* key;
    const char* text;
    double min, max;
    std::size_t faults;
    const char* first;
  };
  const Case cases[] = {
      {"a widened range", "Osc", "0 to 101.", 0.0, 100.0, 1, "greatest 100 (planted, bar 1) never reaches 101"},
      {"low side unreached", "Ratio", "-1 to 1.", -0.5, 1.0, 1, "least -0.5 (planted, bar 0) never reaches -1"},
      {"both reached", "Ratio", "-1 to 1.", -1.0, 1.0, 0, ""},
      {"approached, not reached", "Rank", "0 to 100.", 0.0, 97.5, 0, ""},
      {"approached, yet reached", "Rank", "0 to 100.", 0.0, 100.0, 1, "reaches 100, which is listed as never"},
      {"approached, low side unreached", "Rank", "0 to 100.", 2.5, 97.5, 1, "least 2.5"},
      {"exact arithmetic, far side unreached", "Ratio", "-1 to 1 in exact arithmetic: sums ...", -0.5, 1.1, 1,
       "never reaches -1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ReadClaims read = read_claims(c.key, c.text, table, {}, approached);
    ASSERT_EQ(read.claims.size(), 1u);
    Reach r;
    r.add(c.min, "planted", 0);
    r.add(c.max, "planted", 1);
    const std::vector<std::string> faults = reach_faults(read.claims[0], "", r);
    ASSERT_EQ(faults.size(), c.faults);
    if (c.faults > 0) {
      EXPECT_NE(faults[0].find(c.first), std::string::npos) << faults[0];
    }
  }
  // A bound listed as approached that no listed range has is stale.
  constexpr UnreachedBound stale[] = {{"Rank", "0 to 100", 50, "none"}, {"Osc", "0 to 100", 0, "none"}};
  const std::vector<std::string> found =
      unheld_listings(table, {}, {{"Osc", "0 to 101."}, {"Rank", "0 to 100."}, {"Ratio", "-1 to 1."}}, stale);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_NE(found[0].find("Rank: 50, listed as never reached, is no bound"), std::string::npos) << found[0];
  EXPECT_NE(found[1].find("Osc: 0, listed as never reached"), std::string::npos) << found[1];
}

TEST(StatedRanges, AListingNoTextHoldsIsStale) {
  const std::vector<std::string> stale =
      unheld_listings(kTable, kOthers, {{"Osc", "An index, 0 to 100."}, {"Pair", "From -1 to 1."}});
  ASSERT_EQ(stale.size(), 1u);
  EXPECT_NE(stale[0].find("Osc: listed \"8 to 15\""), std::string::npos) << stale[0];
}

// The series built for each type: the closes move as named, every candle
// is one a type accepts, and the other feeds are the walk's.
TEST(StatedRanges, EachBuiltSeriesMovesAsNamed) {
  const std::vector<testing::Bar> walk = testing::make_bars(50);
  struct Moves {
    const char* name;
    std::size_t rises, falls;  // of the 399 changes of the close
  };
  const Moves expected[] = {{"rising closes", 399, 0}, {"falling closes", 0, 399}, {"one step up", 1, 0},
                            {"one step down", 0, 1}};
  const std::vector<NamedBars> built = monotone_series(walk, 400);
  ASSERT_EQ(built.size(), std::size(expected));
  for (std::size_t s = 0; s < built.size(); ++s) {
    SCOPED_TRACE(expected[s].name);
    EXPECT_EQ(built[s].name, expected[s].name);
    ASSERT_EQ(built[s].bars.size(), 400u);
    std::size_t rises = 0, falls = 0;
    for (std::size_t i = 0; i < built[s].bars.size(); ++i) {
      const Candle& c = built[s].bars[i].candle;
      EXPECT_TRUE(c.low <= std::min(c.open, c.close) && std::max(c.open, c.close) <= c.high && c.volume > 0.0);
      EXPECT_EQ(built[s].bars[i].reference, walk[i % walk.size()].reference);
      if (i == 0) continue;
      const double before = built[s].bars[i - 1].candle.close;
      rises += c.close > before;
      falls += c.close < before;
    }
    EXPECT_EQ(rises, expected[s].rises);
    EXPECT_EQ(falls, expected[s].falls);
  }
}

// Heavy bars only in the first third of each quarter, light ones elsewhere,
// every trade's size scaled with its bar; and on them a plain running sum
// reads what it was built to show: the money flow past 1 in a window of
// light bars.
TEST(StatedRanges, HeavyAndLightBarsAreAsNamed) {
  const std::vector<testing::Bar> walk = testing::make_bars(50);
  const NamedBars built = heavy_and_light(walk, 400);
  EXPECT_EQ(built.name, "heavy and light bars");
  ASSERT_EQ(built.bars.size(), 400u);
  std::size_t heavy = 0;
  for (std::size_t i = 0; i < built.bars.size(); ++i) {
    const Candle& c = built.bars[i].candle;
    EXPECT_TRUE(c.low <= std::min(c.open, c.close) && std::max(c.open, c.close) <= c.high) << i;
    const bool is_heavy = c.volume >= 1.0e9;
    EXPECT_TRUE(is_heavy ? c.volume < 2.0e9 && i % 100 < 33 : c.volume >= 1.0 && c.volume < 2.0) << i;
    heavy += is_heavy;
    const std::vector<Trade>& walked = walk[i % walk.size()].trades;
    ASSERT_EQ(built.bars[i].trades.size(), walked.size());
    for (std::size_t k = 0; k < walked.size(); ++k) {
      EXPECT_EQ(built.bars[i].trades[k].size, walked[k].size * (is_heavy ? 1.0e9 : 1.0e-9)) << i;
    }
  }
  EXPECT_GT(heavy, 20u);
  const std::vector<double> period = {2};
  auto cmf = build_indicator("ChaikinMoneyFlow", period);
  ASSERT_TRUE(cmf);
  double widest = 0.0;
  for (const testing::Bar& b : built.bars) {
    if (const auto v = cmf.value()->update(testing::snapshot_of(b))) widest = std::max(widest, std::abs(*v));
  }
  // Some 4e8 units in the last place past 1.
  EXPECT_GT(widest, 1.0 + 1e-8);
}

}  // namespace
}  // namespace fendro::reference
