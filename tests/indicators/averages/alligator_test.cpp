// Alligator: three smoothed lines of the median price, reported together.
#include "fendro/indicators/averages/alligator.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing {
namespace {

// Candles whose median price is m.
std::vector<Candle> medians(const std::vector<double>& ms) {
  std::vector<Candle> out;
  for (double m : ms) out.push_back(hlc(m + 1, m - 1, m));
  return out;
}

TEST(Alligator, LinesInTheirOrder) {
  struct Case {
    std::vector<double> lengths;
    std::vector<double> medians;
    std::vector<Values> want;  // jaw, teeth, lips
  };
  const Case cases[] = {
      // jaw 3 seeds on bar 3 (mean 2), teeth 2 on bar 2, lips 1 is the median.
      {{3, 2, 1},
       {1, 2, 3, 4},
       {{kNone, kNone, 2.0, 8.0 / 3}, {kNone, kNone, 2.25, 3.125}, {kNone, kNone, 3.0, 4.0}}},
      // The order of the lengths is free.
      {{1, 2, 3},
       {1, 2, 3, 4},
       {{kNone, kNone, 3.0, 4.0}, {kNone, kNone, 2.25, 3.125}, {kNone, kNone, 2.0, 8.0 / 3}}},
      {{1, 1, 1}, {5, -2}, {{5.0, -2.0}, {5.0, -2.0}, {5.0, -2.0}}},
  };
  for (const Case& c : cases) {
    for (std::size_t k = 0; k < 3; ++k) {
      IndicatorPtr ind = make("Alligator", c.lengths);
      expect_values(run_output(*ind, medians(c.medians), k), c.want[k], "Alligator output");
    }
  }
}

TEST(Alligator, ValueOnlyOnceTheLongestLineSeeds) {
  AlligatorLines lines = alligator_lines_new(13, 8, 5).value();
  for (int bar = 1; bar <= 13; ++bar) {
    const auto v = alligator_update(lines, 11.0, 9.0);
    EXPECT_EQ(lines.lips.seeded, bar >= 5) << bar;
    EXPECT_EQ(lines.teeth.seeded, bar >= 8) << bar;
    EXPECT_EQ(v.has_value(), bar == 13) << bar;
  }
  EXPECT_EQ(make("Alligator", {13, 8, 5})->warmup_period(), 13u);
  EXPECT_EQ(make("Alligator", {5, 21, 8})->warmup_period(), 21u);
}

TEST(Alligator, OutputsSurviveARejectedCandle) {
  IndicatorPtr ind = make("Alligator", {2, 1, 1});
  EXPECT_TRUE(ind->outputs().empty());
  EXPECT_EQ(step(*ind, hlc(3, 1, 2)), kNone);
  EXPECT_TRUE(ind->outputs().empty());
  EXPECT_EQ(step(*ind, hlc(5, 3, 4)), 3.0);
  EXPECT_EQ(step(*ind, hlc(1, 3, 2)), kNone);  // high below low
  const auto outs = ind->outputs();
  ASSERT_EQ(outs.size(), 3u);
  EXPECT_EQ(outs[0].name, "jaw");
  EXPECT_EQ(outs[1].name, "teeth");
  EXPECT_EQ(outs[2].name, "lips");
  EXPECT_EQ(outs[0].value, 3.0);
  EXPECT_EQ(outs[2].value, 4.0);
}

}  // namespace
}  // namespace fendro::testing
