// The scaled walks are what their names and stretches say: valid candles
// near their scale, each stretch doing what the range check relies on, and
// the straight lines and one-sided feeds as built.
#include "reference/scaled_series.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "fendro/registry/key_table.hpp"
#include "reference/stated_range_runs.hpp"

namespace fendro::reference {
namespace {

struct Stretch {
  const char* name;
  std::size_t from, to;
  bool (*holds)(const Candle& c, const Candle& before);
};

double up(double p) { return std::nextafter(p, std::numeric_limits<double>::infinity()); }
double down(double p) { return std::nextafter(p, -std::numeric_limits<double>::infinity()); }

const Stretch kStretches[] = {
    {"closes on the high", kOnHighAt, kOnLowAt, [](const Candle& c, const Candle&) { return c.close == c.high; }},
    {"closes on the low", kOnLowAt, kOnePriceAt, [](const Candle& c, const Candle&) { return c.close == c.low; }},
    {"one-price candles", kOnePriceAt, kGapsAt,
     [](const Candle& c, const Candle&) { return c.open == c.high && c.high == c.low && c.low == c.close; }},
    {"zero volume", kZeroVolumeAt, kTickMovesAt, [](const Candle& c, const Candle&) { return c.volume == 0.0; }},
    {"moves of a unit", kUlpMovesAt, kUlpStepAt,
     [](const Candle& c, const Candle& b) {
       return c.open == b.close && (c.close == b.close || c.close == up(b.close) || c.close == down(b.close));
     }},
    {"one unit wide", kUlpWideAt, kScaledWalkBars, [](const Candle& c, const Candle&) { return c.high == up(c.low); }},
};

TEST(ScaledSeries, EachWalkIsValidNearItsScaleAndEachStretchIsAsNamed) {
  const std::vector<testing::Bar> walk = testing::make_bars(50);
  const std::vector<NamedBars> all = scaled_walks(walk);
  ASSERT_EQ(all.size(), 14u);
  std::size_t k = 0;
  for (const double near : {1e-6, 1.0, 1e4, 1e9}) {
    for (const int decimals : {2, 4, 8}) {
      const NamedBars& s = all[k++];
      SCOPED_TRACE(s.name);
      ASSERT_EQ(s.bars.size(), kScaledWalkBars);
      std::size_t gaps = 0;
      for (std::size_t i = 0; i < s.bars.size(); ++i) {
        const Candle& c = s.bars[i].candle;
        ASSERT_TRUE(c.low <= std::min(c.open, c.close) && std::max(c.open, c.close) <= c.high && c.volume >= 0.0)
            << i;
        ASSERT_TRUE(c.low >= near / 8 && c.high <= near * 8) << i << " " << c.low << " " << c.high;
        EXPECT_EQ(s.bars[i].reference, walk[i % walk.size()].reference);
        if (i == 0) continue;
        const Candle& before = s.bars[i - 1].candle;
        for (const Stretch& st : kStretches) {
          if (i >= st.from && i < st.to) {
            EXPECT_TRUE(st.holds(c, before)) << st.name << ", bar " << i;
          }
        }
        const double gap = std::abs(c.open / before.close - 1.0);
        if (i >= kGapsAt && i < kZeroVolumeAt && (i - kGapsAt) % 10 == 0) {
          EXPECT_TRUE(gap > 0.049 && gap < 0.51) << i << " " << gap;
          ++gaps;
        }
        // One-price candles move by up to 3 ticks, 6% where a tick is 2%.
        if (i < kOnePriceAt || i >= kZeroVolumeAt) {
          EXPECT_LT(gap, 0.011) << i;
        }
      }
      EXPECT_EQ(gaps, 20u);
      // A tick of 2 decimals at 1 is a cent: the walk's closes are whole cents.
      if (near == 1.0 && decimals == 2) {
        for (std::size_t i = 0; i < kUlpMovesAt; ++i) {
          const double cents = s.bars[i].candle.close * 100.0;
          EXPECT_EQ(std::abs(cents - std::round(cents)) < 1e-6, true) << i;
        }
      }
    }
  }
}

TEST(ScaledSeries, StraightLinesStepEvenlyByWholeCents) {
  const std::vector<testing::Bar> walk = testing::make_bars(50);
  const NamedBars lines = straight_lines(walk, 30);
  ASSERT_EQ(lines.bars.size(), 30 * kLineBars);
  EXPECT_EQ(lines.bars[0].candle.close, 23.05);
  EXPECT_EQ(lines.bars[3].candle.close, 22.99);
  for (std::size_t run = 0; run < 30; ++run) {
    const auto cents = [&](std::size_t i) { return std::llround(lines.bars[run * kLineBars + i].candle.close * 100); };
    const long long step = cents(1) - cents(0);
    EXPECT_TRUE(step != 0 && std::abs(step) <= 5) << run;
    for (std::size_t i = 1; i < kLineBars; ++i) EXPECT_EQ(cents(i) - cents(i - 1), step) << run << " " << i;
  }
}

TEST(ScaledSeries, OneSidedFeedsAlternateBuyingSellingAndBalanced) {
  const std::vector<testing::Bar> walk = testing::make_bars(500);
  const NamedBars s = one_sided_feeds(walk, 6 * kOneSidedRun);
  ASSERT_EQ(s.bars.size(), 6 * kOneSidedRun);
  for (std::size_t i = 0; i < s.bars.size(); ++i) {
    const testing::Bar& b = s.bars[i];
    const testing::Bar& walked = walk[i % walk.size()];
    EXPECT_EQ(b.candle.time, walked.candle.time);
    if ((i / kOneSidedRun) % 3 == 2) {
      ASSERT_EQ(b.trades.size(), 2u) << i;
      EXPECT_TRUE(b.trades[0].side == 0 && b.trades[1].side == 1 && b.trades[0].size == 2.5 &&
                  b.trades[1].size == 2.5)
          << i;
      EXPECT_EQ(b.book.asks[0].size, walked.book.asks[0].size) << i;
      continue;
    }
    const bool buying = (i / kOneSidedRun) % 3 == 0;
    for (const BookLevel& l : b.book.asks) EXPECT_EQ(l.size == 0.0, buying) << i;
    for (const BookLevel& l : b.book.bids) EXPECT_EQ(l.size == 0.0, !buying) << i;
    for (const Trade& t : b.trades) EXPECT_EQ(t.side, buying ? 0 : 1) << i;
    for (const CrossSectionEntry& e : b.cross.entries) {
      EXPECT_EQ(e.bullish != 0, buying) << i;
      EXPECT_EQ(e.above_ma != 0, buying) << i;
      EXPECT_TRUE(buying ? e.change >= 0.0 : e.change <= 0.0) << i;
    }
  }
}

// Each whole-number parameter alone at 1, 2, 5 and 3, then all at once,
// then each at 150, 200 and 1000 (the others customary, then at 1), each
// set once and only where the row builds; the sets beyond the customary
// ones and 1, 2 and 5 alone are the wide ones (marked w), and those at
// 150, 200 and 1000 are tried on the long series only.
TEST(ScaledSeries, ParameterSetsTryEachWholeNumberAloneAndAllAtOnce) {
  struct Case {
    const char* key;
    std::vector<Kind> kinds;
    std::vector<std::pair<std::vector<double>, bool>> expected;
  };
  constexpr bool w = true;
  const Case cases[] = {
      {"Stochastic",
       {Kind::Integer, Kind::Integer},
       {{{14, 3}, !w}, {{1, 3}, !w}, {{2, 3}, !w}, {{5, 3}, !w}, {{3, 3}, w}, {{14, 1}, !w}, {{14, 2}, !w},
        {{14, 5}, !w}, {{1, 1}, w}, {{2, 2}, w}, {{150, 3}, w}, {{150, 1}, w}, {{200, 3}, w}, {{200, 1}, w},
        {{1000, 3}, w}, {{1000, 1}, w}, {{14, 150}, w}, {{1, 150}, w}, {{14, 200}, w}, {{1, 200}, w},
        {{14, 1000}, w}, {{1, 1000}, w}}},
      {"UltimateOscillator",
       {Kind::Integer, Kind::Integer, Kind::Integer},
       {{{7, 14, 28}, !w}, {{1, 14, 28}, !w}, {{2, 14, 28}, !w}, {{5, 14, 28}, !w}, {{3, 14, 28}, w},
        {{7, 1, 28}, !w}, {{7, 2, 28}, !w}, {{7, 5, 28}, !w}, {{7, 3, 28}, w}, {{7, 14, 1}, !w},
        {{7, 14, 2}, !w}, {{7, 14, 5}, !w}, {{7, 14, 3}, w}, {{1, 1, 1}, w}, {{2, 2, 2}, w}, {{3, 3, 3}, w},
        {{150, 14, 28}, w}, {{150, 1, 1}, w}, {{200, 14, 28}, w}, {{200, 1, 1}, w}, {{1000, 14, 28}, w}, {{1000, 1, 1}, w}, {{7, 150, 28}, w}, {{1, 150, 1}, w}, {{7, 200, 28}, w}, {{1, 200, 1}, w}, {{7, 1000, 28}, w}, {{1, 1000, 1}, w}, {{7, 14, 150}, w}, {{1, 1, 150}, w}, {{7, 14, 200}, w}, {{1, 1, 200}, w}, {{7, 14, 1000}, w}, {{1, 1, 1000}, w}}},
      // The slow period must stay above the fast one.
      {"VolumeOscillator",
       {Kind::Integer, Kind::Integer},
       {{{5, 10}, !w}, {{1, 10}, !w}, {{2, 10}, !w}, {{3, 10}, w}, {{5, 150}, w}, {{1, 150}, w}, {{5, 200}, w},
        {{1, 200}, w}, {{5, 1000}, w}, {{1, 1000}, w}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    const registry::Entry row = registry::key_rows()[*registry::key_slot(c.key)];
    const std::vector<ParameterSet> got = parameter_sets(row, c.kinds);
    ASSERT_EQ(got.size(), c.expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].values, c.expected[i].first) << i;
      EXPECT_EQ(got[i].wide, c.expected[i].second) << i;
      const bool long_period = std::find_if(got[i].values.begin(), got[i].values.end(), [](double v) {
                                 return v == 150 || v == 200 || v == 1000;
                               }) != got[i].values.end();
      EXPECT_EQ(got[i].long_only, long_period) << i;
    }
  }
}

}  // namespace
}  // namespace fendro::reference
