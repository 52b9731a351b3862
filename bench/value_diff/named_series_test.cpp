#include "named_series.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <string>
#include <vector>

namespace fendro::value_dump {
namespace {

// The first bar of each stretch, by series and stretch.
using FirstBars = std::map<std::string, std::map<std::string, std::size_t>>;

const std::vector<GeneratedSeries>& series() {
  static const std::vector<GeneratedSeries> all = dumped_series();
  return all;
}

bool flat(const Candle& c) { return c.open == c.high && c.high == c.low && c.low == c.close; }

TEST(NamedSeries, EveryStatedLayoutCoversItsBars) {
  for (const GeneratedSeries& s : series()) {
    EXPECT_EQ(s.info.bars, s.bars.size()) << s.info.name;
    for (std::size_t k = 1; k < s.info.segments.size(); ++k) {
      EXPECT_LT(s.info.segments[k - 1].first, s.info.segments[k].first) << s.info.name;
    }
  }
}

// Each stretch of the fingerprint's series starts where its bars turn into
// what the stretch is named for: the bar before is not such a bar.
TEST(NamedSeries, StretchesStartWhereTheBarsTurn) {
  const double tiny = std::ldexp(1.5, -1022);
  const double unit = std::numeric_limits<double>::denorm_min();
  using Check = std::function<bool(const Candle&, const Candle&)>;  // (this bar, the one before)
  const Check halting = [](const Candle& c, const Candle&) { return flat(c) && c.volume == 0.0; };
  struct Turn {
    const char* series;
    const char* stretch;
    Check is;
  };
  const Turn turns[] = {
      {"edges", "grid", [](const Candle& c, const Candle&) { return c.high - c.low == 20.0; }},
      {"edges", "flat runs", [](const Candle& c, const Candle&) { return flat(c) && c.close >= 49.0 && c.volume == 10.0; }},
      {"edges", "small integers", [](const Candle& c, const Candle&) { return std::abs(c.close) <= 2.0 && c.high - c.low <= 6.0; }},
      {"halted", "halted", halting},
      {"settled", "halt", halting},
      {"settled", "high and low swing",
       [](const Candle& c, const Candle& p) { return c.open == p.close && c.close == p.close && c.high > c.open; }},
      {"settled", "volume moves", [](const Candle& c, const Candle&) { return flat(c) && c.volume >= 100.0; }},
      {"settled", "ulp moves",
       [](const Candle& c, const Candle& p) { return c.close == std::nextafter(p.close, 1e300) && c.volume == 0.0; }},
      {"settled", "tiny halt", [=](const Candle& c, const Candle& p) { return c.close == tiny && p.close != tiny; }},
      {"settled", "tiny ulp moves",
       [=](const Candle& c, const Candle& p) { return p.close == tiny && c.close == tiny + unit; }},
      {"settled", "tiny stairs",
       [=](const Candle& c, const Candle& p) { return p.close == c.open && c.close == c.open - unit; }},
      {"settled", "walk again", [](const Candle& c, const Candle&) { return c.close > 1.0; }},
  };
  for (const Turn& t : turns) {
    const GeneratedSeries* s = nullptr;
    for (const GeneratedSeries& g : series()) {
      if (g.info.name == t.series) s = &g;
    }
    ASSERT_NE(s, nullptr) << t.series;
    std::size_t first = 0;
    bool found = false;
    for (const Segment& seg : s->info.segments) {
      if (seg.name == t.stretch) {
        first = seg.first;
        found = true;
      }
    }
    ASSERT_TRUE(found && first >= 2) << t.series << " " << t.stretch;
    const auto& b = s->bars;
    EXPECT_TRUE(t.is(b[first].candle, b[first - 1].candle)) << t.series << " " << t.stretch << " at " << first;
    EXPECT_FALSE(t.is(b[first - 1].candle, b[first - 2].candle)) << t.series << " " << t.stretch << " before " << first;
  }
}

}  // namespace
}  // namespace fendro::value_dump
