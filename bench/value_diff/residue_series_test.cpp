#include "residue_series.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace fendro::value_dump {
namespace {

struct Made {
  const char* name;
  GeneratedSeries series;
};

std::vector<Made> all_series() {
  std::vector<Made> out;
  out.push_back({"near 20", make_residue_series("a", 20.0, 51, 60)});
  out.push_back({"near 20000", make_residue_series("b", 20000.0, 52, 60)});
  out.push_back({"by turns", make_residue_series("c", 20.0, 53, 60, 20000.0, 7)});
  return out;
}

// The stretch bar i lies in.
std::string stretch_of(const SeriesInfo& s, std::size_t i) {
  std::size_t k = 0;
  while (k + 1 < s.segments.size() && s.segments[k + 1].first <= i) ++k;
  return s.segments[k].name;
}

bool whole_cents(double p) { return std::round(p * 100.0) / 100.0 == p; }

TEST(ResidueSeries, StretchesComeInTheirOrder) {
  for (const Made& m : all_series()) {
    std::vector<std::string> names;
    for (const Segment& s : m.series.info.segments) names.push_back(s.name);
    EXPECT_EQ(names, (std::vector<std::string>{"history", "halt", "history", "flat prices", "history", "zero volume",
                                               "history", "halt"}))
        << m.name;
    EXPECT_EQ(m.series.info.bars, m.series.bars.size()) << m.name;
    EXPECT_EQ(m.series.bars.size(), 60u * 15 / 2) << m.name;
  }
}

TEST(ResidueSeries, EveryStretchHoldsWhatItIsNamedFor) {
  for (const Made& m : all_series()) {
    const std::vector<testing::Bar>& bars = m.series.bars;
    for (std::size_t i = 1; i < bars.size(); ++i) {
      const Candle& c = bars[i].candle;
      const Candle& prev = bars[i - 1].candle;
      const DerivativesTick& d = bars[i].derivatives;
      const std::string at = std::string(m.name) + " bar " + std::to_string(i);
      ASSERT_TRUE(c.low > 0.0 && c.low <= std::min(c.open, c.close) && c.high >= std::max(c.open, c.close)) << at;
      ASSERT_EQ(c.open, prev.close) << at;
      for (const double p : {c.open, c.high, c.low, c.close}) ASSERT_TRUE(whole_cents(p)) << at;
      const std::string stretch = stretch_of(m.series.info, i);
      const bool flat = c.open == c.high && c.high == c.low && c.low == c.close;
      const bool traded = !bars[i].trades.empty() || d.taker_buy_volume != 0.0 || d.taker_sell_volume != 0.0;
      const bool liquidated = d.long_liquidations != 0.0 || d.short_liquidations != 0.0;
      double cross_volume = 0.0, cross_change = 0.0;
      int new_extremes = 0;
      for (const CrossSectionEntry& e : bars[i].cross.entries) {
        cross_volume += e.volume;
        cross_change += std::abs(e.change);
        new_extremes += e.new_high + e.new_low;
      }
      if (stretch == "halt") {
        ASSERT_TRUE(flat && c.volume == 0.0 && !traded && !liquidated) << at;
        ASSERT_TRUE(cross_volume == 0.0 && cross_change == 0.0 && new_extremes == 0) << at;
        ASSERT_EQ(bars[i].reference, bars[i - 1].reference) << at;
      } else if (stretch == "flat prices") {
        ASSERT_TRUE(flat && c.volume > 0.0 && !bars[i].trades.empty() && !liquidated) << at;
        for (const Trade& t : bars[i].trades) ASSERT_EQ(t.price, c.close) << at;
        ASSERT_TRUE(cross_volume > 0.0 && cross_change == 0.0 && new_extremes == 0) << at;
      } else if (stretch == "zero volume") {
        ASSERT_TRUE(c.volume == 0.0 && !traded && !liquidated && cross_volume == 0.0) << at;
      } else {
        // A volume of 2 to 8 decimals.
        ASSERT_EQ(std::round(c.volume * 1e8) / 1e8, c.volume) << at;
        ASSERT_GT(c.volume, 0.0) << at;
      }
    }
  }
}

TEST(ResidueSeries, HistoryMixesHeavyAndLightBarsAndMovingCloses) {
  for (const Made& m : all_series()) {
    std::size_t heavy = 0, light = 0, moved = 0, inexact = 0, history = 0;
    for (std::size_t i = 0; i < m.series.bars.size(); ++i) {
      if (stretch_of(m.series.info, i) != "history" && stretch_of(m.series.info, i) != "zero volume") continue;
      const Candle& c = m.series.bars[i].candle;
      ++history;
      moved += c.close != c.open;
      if (c.volume == 0.0) continue;
      heavy += c.volume >= 1e4;
      light += c.volume <= 10.01;
      inexact += std::round(c.volume) != c.volume;
    }
    EXPECT_GT(heavy, 0u) << m.name;
    EXPECT_GT(light, 3 * heavy) << m.name;
    EXPECT_GT(inexact, light / 2) << m.name;
    EXPECT_GT(moved, history * 3 / 4) << m.name;
  }
}

TEST(ResidueSeries, ATurningWalkVisitsBothLevels) {
  const std::vector<Made> made = all_series();
  for (const Made& m : made) {
    double low = 1e300, high = 0.0;
    for (const testing::Bar& b : m.series.bars) {
      low = std::min(low, b.candle.close);
      high = std::max(high, b.candle.close);
    }
    const bool turns = std::string(m.name) == "by turns";
    EXPECT_EQ(low < 100.0 && high > 10000.0, turns) << m.name;
  }
}

}  // namespace
}  // namespace fendro::value_dump
