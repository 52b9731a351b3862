#include <gtest/gtest.h>

#include "fendro/indicators/trend/aroon.hpp"
#include "fendro/indicators/trend/parabolic_sar.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing {
namespace {

std::vector<Candle> highs_lows(std::vector<double> highs, std::vector<double> lows) {
  std::vector<Candle> out;
  for (std::size_t i = 0; i < highs.size(); ++i) out.push_back(hlc(highs[i], lows[i], lows[i]));
  return out;
}

TEST(Aroon, PositionsOfTheExtremes) {
  struct Case {
    const char* name;
    std::uint64_t n;
    std::vector<Candle> bars;
    Values up, down;
  };
  const Case cases[] = {
      {"n=1 higher high", 1, highs_lows({10, 11}, {8, 9}), {kNone, 100.0}, {kNone, 0.0}},
      {"n=1 lower low", 1, highs_lows({10, 9}, {8, 7}), {kNone, 0.0}, {kNone, 100.0}},
      // Ties go to the newest candle.
      {"identical", 2, std::vector<Candle>(4, hlc(10, 8, 9)), {kNone, kNone, 100.0, 100.0},
       {kNone, kNone, 100.0, 100.0}},
      {"highest 3 bars back", 4, highs_lows({5, 9, 6, 7, 8}, {1, 2, 3, 4, 5}),
       {kNone, kNone, kNone, kNone, 25.0}, {kNone, kNone, kNone, kNone, 0.0}},
      // The window slides: the old extreme leaves it.
      {"sliding", 2, highs_lows({9, 5, 6, 7}, {1, 3, 2, 2.5}), {kNone, kNone, 0.0, 100.0},
       {kNone, kNone, 0.0, 50.0}},
  };
  for (const Case& c : cases) {
    auto a = Aroon::create(c.n).value();
    expect_values(run(a, c.bars), c.up, c.name);
    auto b = Aroon::create(c.n).value();
    expect_values(run_output(b, c.bars, 1), c.down, c.name);
    auto osc = AroonOscillator::create(c.n).value();
    Values diff;
    for (std::size_t i = 0; i < c.up.size(); ++i) {
      diff.push_back(c.up[i] ? std::optional<double>(*c.up[i] - *c.down[i]) : kNone);
    }
    expect_values(run(osc, c.bars), diff, c.name);
  }
}

TEST(ParabolicSar, StartsReversesAndAccelerates) {
  struct Case {
    const char* name;
    bool extended;
    std::vector<double> params;
    std::vector<Candle> bars;
    Values want;
  };
  const std::vector<double> psar = {0.02, 0.02, 0.2};
  const std::vector<double> ext = {0, 0, 0.02, 0.02, 0.2, 0.02, 0.02, 0.2};
  const std::vector<double> ext_offset = {0, 0.1, 0.02, 0.02, 0.2, 0.02, 0.02, 0.2};
  const auto rise = highs_lows({10, 11, 12, 13, 12.5}, {9, 10, 11, 12, 9});
  const Case cases[] = {
      // A higher high with an equal low starts long at the low and reverses
      // on the same bar.
      {"equal low", false, psar, highs_lows({10, 11}, {8, 8}), {kNone, 11.0}},
      {"equal low, offset", true, ext_offset, highs_lows({10, 11}, {8, 8}), {kNone, -12.1}},
      // A bigger drop than rise starts short at the previous high, and the
      // bar's own high reverses it at once.
      {"outside bar", false, psar, highs_lows({10, 11}, {8, 6}), {kNone, 6.0}},
      // New highs raise the factor by the step; a low under the stop flips.
      {"rise then break", false, psar, rise, {kNone, 9.0, 9.04, 9.1584, 13.0}},
      {"rise then break, signed", true, ext, rise, {kNone, 9.0, 9.04, 9.1584, -13.0}},
      {"fixed short start", true, {-100, 0, 0.02, 0.02, 0.2, 0.02, 0.02, 0.2},
       highs_lows({50, 60}, {40, 45}), {kNone, -100.0}},
      {"fixed short start hit", true, {-100, 0, 0.02, 0.02, 0.2, 0.03, 0.02, 0.2},
       highs_lows({50, 100}, {40, 45}), {kNone, 45.0}},
  };
  for (const Case& c : cases) {
    const auto& p = c.params;
    if (c.extended) {
      auto s = SarExt::create(p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7]).value();
      expect_values(run(s, c.bars), c.want, c.name);
    } else {
      auto s = Psar::create(p[0], p[1], p[2]).value();
      expect_values(run(s, c.bars), c.want, c.name);
    }
  }
}

TEST(ParabolicSar, FactorSettlesAtItsCeiling) {
  // With start = max the factor never changes: each step closes a fixed
  // share of the gap to the extreme.
  auto s = Psar::create(0.5, 0.5, 0.5).value();
  step(s, hlc(10, 9, 9.5));
  EXPECT_EQ(*step(s, hlc(11, 10, 10.5)), 9.0);   // EP 11
  EXPECT_EQ(*step(s, hlc(11, 10.5, 11)), 10.0);  // 9 + 0.5 * 2, no new high
  EXPECT_EQ(*step(s, hlc(11, 10.8, 11)), 10.0);  // 10.5, capped by the low two bars back
}

}  // namespace
}  // namespace fendro::testing
