// Market breadth over hand-built cross-sections.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "fendro/registry/families.hpp"
#include "indicators/family_checks.hpp"
#include "indicators/testing.hpp"
#include "indicators/transforms/transforms_testing.hpp"

namespace fendro::testing::transforms {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The cross-section rows of the family table.
std::vector<registry::Entry> breadth_keys() {
  std::vector<registry::Entry> out;
  for (const registry::Entry& e : registry::transform_entries()) {
    if (e.feed == Feed::CrossSection) out.push_back(e);
  }
  return out;
}

// 3 advancing (volume 0.5 in all), 1 declining (volume 2), one unchanged and
// one with a NaN change (neither); 2 new highs, 2 new lows, 3 above their
// average, 2 bullish.
CrossSection mixed() {
  return CrossSection{{entry(1, 0.25, 1, 0, 1, 1), entry(2, 0.125, 0, 0, 1, 0),
                       entry(0.5, 0.125, 1, 0, 0, 1), entry(-1, 2.0, 0, 1, 0, 0),
                       entry(0, 5.0, 0, 0, 1, 0), entry(kNaN, 7.0, 0, 1, 0, 0)}};
}

// 1 advancing (volume 10), 2 declining (volume 7).
CrossSection falling() {
  return CrossSection{{entry(-1, 3, 0, 1), entry(1, 10), entry(-2, 4, 0, 1)}};
}

CrossSection all_up() { return CrossSection{{entry(1, 1), entry(2, 1)}}; }
CrossSection all_down() { return CrossSection{{entry(-1, 1)}}; }

struct FigureCase {
  const char* key;
  CrossSection section;
  double want;
};

TEST(Breadth, FiguresOfOneCrossSection) {
  const std::vector<FigureCase> cases = {
      {"AdvanceDeclineRatio", mixed(), 3.0},
      {"UpDownVolumeRatio", mixed(), 0.25},
      // The up volume below 1.0 is raised to 1.0: (3 / 1) / (1.0 / 2.0).
      {"Trin", mixed(), 6.0},
      {"TickIndex", mixed(), 2.0},
      {"AbsoluteBreadthIndex", mixed(), 2.0},
      {"NewHighsNewLows", mixed(), 0.0},
      {"PercentAboveMa", mixed(), 50.0},
      {"BullishPercentIndex", mixed(), 100.0 / 3},
      {"AdvanceDecline", mixed(), 2.0},
      {"AdVolumeLine", mixed(), -1.5},
      {"CumulativeVolumeIndex", mixed(), -1.5},
      {"AdvanceDeclineRatio", falling(), 0.5},
      {"UpDownVolumeRatio", falling(), 10.0 / 7},
      {"Trin", falling(), 0.35},
      {"TickIndex", falling(), -1.0},
      {"AbsoluteBreadthIndex", falling(), 1.0},
      {"NewHighsNewLows", falling(), -2.0},
      {"AdvanceDeclineRatio", all_up(), 2.0},
      {"McClellanOscillator", mixed(), 0.0},
      {"McClellanSummationIndex", mixed(), 0.0},
  };
  for (const FigureCase& c : cases) {
    auto ind = make(c.key, {});
    ASSERT_TRUE(ind);
    const auto v = step_section(*ind, &c.section);
    ASSERT_TRUE(v) << c.key;
    EXPECT_DOUBLE_EQ(*v, c.want) << c.key;
  }
}

TEST(Breadth, EmptyCrossSection) {
  const CrossSection empty;
  const std::vector<std::pair<const char*, double>> cases = {
      {"AdvanceDeclineRatio", 0.0}, {"Trin", 0.0},           {"TickIndex", 0.0},
      {"AbsoluteBreadthIndex", 0.0}, {"NewHighsNewLows", 0.0}, {"UpDownVolumeRatio", -0.0},
      {"PercentAboveMa", kNaN},     {"BullishPercentIndex", kNaN},
  };
  for (const auto& [key, want] : cases) {
    auto ind = make(key, {});
    ASSERT_TRUE(ind);
    const auto v = step_section(*ind, &empty);
    ASSERT_TRUE(v) << key;
    EXPECT_TRUE(std::isnan(want) ? std::isnan(*v) : same_value(v, want)) << key;
  }
  // Running totals stay where they were.
  const CrossSection up = all_up();
  for (const char* key : {"AdvanceDecline", "AdVolumeLine", "CumulativeVolumeIndex"}) {
    auto ind = make(key, {});
    ASSERT_TRUE(ind);
    const auto first = step_section(*ind, &up);
    EXPECT_TRUE(same_value(step_section(*ind, &empty), first)) << key;
  }
}

struct RunCase {
  const char* key;
  std::vector<double> params;
  std::vector<CrossSection> sections;
  Values want;
};

TEST(Breadth, SmoothedMeasuresByHand) {
  // Shares: 0.75, 0 (no entries), 1.0, 0.5. Record-high shares: 75, 0, 100.
  const CrossSection three_of_four = {{entry(1, 1, 1), entry(2, 1, 1), entry(3, 1, 1, 1),
                                       entry(-1, 1, 0, 0)}};
  const CrossSection one_each = {{entry(1, 1), entry(-1, 1)}};
  const CrossSection one_high = {{entry(1, 1, 1)}};
  const std::vector<RunCase> cases = {
      {"McClellanOscillator", {}, {all_up(), all_down(), CrossSection{}}, {0.0, -100.0, -135.0}},
      {"McClellanSummationIndex",
       {},
       {all_up(), all_down(), CrossSection{}},
       {0.0, -100.0, -235.0}},
      {"BreadthThrust",
       {3},
       {three_of_four, CrossSection{}, all_up(), one_each},
       {kNone, kNone, 1.75 / 3, 0.5 * 0.5 + 0.5 * (1.75 / 3)}},
      {"HighLowIndex",
       {2},
       {three_of_four, CrossSection{}, one_high, CrossSection{{entry(1, 1)}}},
       {kNone, 37.5, 50.0, 50.0}},
  };
  for (const RunCase& c : cases) {
    auto ind = make(c.key, c.params);
    ASSERT_TRUE(ind);
    Values got;
    for (const CrossSection& cs : c.sections) got.push_back(step_section(*ind, &cs));
    expect_values(got, c.want, c.key);
  }
}

TEST(Breadth, NanVolumeStaysInTheLine) {
  const CrossSection nan_up = {{entry(1, kNaN), entry(-1, 3)}};
  const CrossSection nan_down = {{entry(1, 4), entry(-1, kNaN)}};
  auto line = make("AdVolumeLine", {});
  auto ratio = make("UpDownVolumeRatio", {});
  ASSERT_TRUE(line && ratio);
  // A NaN down-volume sum counts as 1.0 in the ratio.
  EXPECT_EQ(step_section(*ratio, &nan_down), 4.0);
  EXPECT_TRUE(std::isnan(*step_section(*line, &nan_up)));
  const CrossSection up = all_up();
  EXPECT_TRUE(std::isnan(*step_section(*line, &up)));
}

TEST(Breadth, ConstructionMessages) {
  const std::string max_period =
      "invalid period: period exceeds the maximum supported window length (see MAX_PERIOD)";
  const std::vector<std::tuple<const char*, std::vector<double>, std::string>> cases = {
      {"BreadthThrust", {0.5}, "parameter #0 must be a positive integer, got 0.5"},
      {"BreadthThrust", {1e-20}, "period must be greater than zero"},
      {"BreadthThrust", {16777217}, max_period},
      {"BreadthThrust", {16777216}, ""},
      {"HighLowIndex", {}, "missing parameter #0"},
      {"HighLowIndex", {1e-20}, "period must be greater than zero"},
      {"HighLowIndex", {16777217}, max_period},
      {"TickIndex", {3.0}, ""},
      {"McClellanOscillator", {kNaN}, ""},
  };
  for (const auto& [key, params, reason] : cases) {
    EXPECT_EQ(family::build_message(key, params), family::invalid(key, reason)) << key;
  }
}

// Bars without a cross-section give nothing and change nothing; the first
// value comes on the bar `warmup_period` names; no named outputs; finite
// values over a long run.
TEST(Breadth, EveryKeyOverARandomRun) {
  const std::vector<CrossSection> sections = random_sections(10000, 7);
  for (const registry::Entry& k : breadth_keys()) {
    SCOPED_TRACE(k.key);
    auto clean = family::build(k);
    auto gappy = family::build(k);
    ASSERT_TRUE(clean && gappy);
    const std::uint64_t warmup = clean->warmup_period();
    for (std::size_t i = 0; i < sections.size(); ++i) {
      if (i % 7 == 0) {
        ASSERT_FALSE(step_section(*gappy, nullptr));
      }
      const auto want = step_section(*clean, &sections[i]);
      ASSERT_EQ(want.has_value(), i + 1 >= warmup) << "bar " << i + 1;
      ASSERT_TRUE(same_value(step_section(*gappy, &sections[i]), want)) << "bar " << i + 1;
      if (want) {
        ASSERT_TRUE(std::isfinite(*want)) << "bar " << i + 1;
      }
      ASSERT_TRUE(clean->outputs().empty());
    }
  }
}

TEST(Breadth, CandleFedKeysIgnoreTheCrossSectionAndViceVersa) {
  auto mid = make("MidPoint", {1});
  auto tick = make("TickIndex", {});
  ASSERT_TRUE(mid && tick);
  EXPECT_FALSE(step(*tick, flat(5.0)));  // a bare candle is no breadth bar
  const CrossSection cs = mixed();
  EXPECT_EQ(step_section(*mid, &cs), 100.0);
}

}  // namespace
}  // namespace fendro::testing::transforms
