// Market breadth over hand-built cross-sections.
#include <gtest/gtest.h>

#include <vector>

#include "indicators/testing.hpp"
#include "indicators/transforms/transforms_testing.hpp"

namespace fendro::testing::transforms {
namespace {

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

struct RunCase {
  const char* key;
  std::vector<double> params;
  std::vector<CrossSection> sections;
  Values want;
};

void expect_runs(const std::vector<RunCase>& cases) {
  for (const RunCase& c : cases) {
    auto ind = make(c.key, c.params);
    ASSERT_TRUE(ind);
    Values got;
    for (const CrossSection& cs : c.sections) got.push_back(step_section(*ind, &cs));
    expect_values(got, c.want, c.key);
  }
}

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
  expect_runs(cases);
}

// Record-high shares 100/3 and 200/3, then two cross-sections of record lows
// only: the window's sum, 100/3 + 200/3 less each, left -1.4e-14; a window of
// zeros averages to 0.
TEST(Breadth, HighLowIndexBackToZerosGives0) {
  const CrossSectionEntry record_low = entry(-1, 1, 0, 1);
  const CrossSection low = {{record_low}};
  const CrossSection third = {{entry(1, 1, 1), record_low, record_low}};
  const CrossSection two_thirds = {{entry(1, 1, 1), entry(1, 1, 1), record_low}};
  auto ind = make("HighLowIndex", {2});
  ASSERT_TRUE(ind);
  Values got;
  for (const CrossSection* cs : {&third, &two_thirds, &low, &low}) got.push_back(step_section(*ind, cs));
  expect_last_exactly(got, 0.0, "HighLowIndex");
}

// Net advances 2, -1, 2 and net volumes -1.5, 3, 2 added bar by bar.
TEST(Breadth, RunningTotalsByHand) {
  const std::vector<CrossSection> sections = {mixed(), falling(), all_up()};
  const std::vector<RunCase> cases = {
      {"AdvanceDecline", {}, sections, {2.0, 1.0, 3.0}},
      {"AdVolumeLine", {}, sections, {-1.5, 1.5, 3.5}},
      {"CumulativeVolumeIndex", {}, sections, {-1.5, 1.5, 3.5}},
  };
  expect_runs(cases);
}

}  // namespace
}  // namespace fendro::testing::transforms
