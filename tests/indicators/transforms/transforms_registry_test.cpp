// The price transforms and the breadth types through the registry: their
// construction messages, the checks every family runs, and the fixed answers
// of empty cross-sections and NaN volumes.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "fendro/registry/families.hpp"
#include "indicators/family_checks.hpp"
#include "indicators/testing.hpp"
#include "indicators/transforms/transforms_testing.hpp"

namespace fendro::testing::transforms {
namespace {

// The rows of the family table fed by `feed`.
std::vector<registry::Entry> keys_of(Feed feed) {
  std::vector<registry::Entry> out;
  for (const registry::Entry& e : registry::transform_entries()) {
    if (e.feed == feed) out.push_back(e);
  }
  return out;
}

TEST(TransformsRegistry, ConstructionMessages) {
  family::expect_period_checks({"MidPoint", "MidPrice", "BreadthThrust", "HighLowIndex"});
  family::expect_build_reasons({
      {"MidPrice", {}, "missing parameter #0"},
      {"MidPrice", {2.5}, "parameter #0 must be a positive integer, got 2.5"},
      {"AvgPrice", {kNaN, -3}, ""},
      {"OvernightIntradayReturn", {330}, ""},
      {"OvernightIntradayReturn", {-2147483648.0}, ""},
      {"OvernightIntradayReturn", {2147483648.0}, "parameter #0 must be an i32, got 2147483648"},
      {"OvernightIntradayReturn", {1.5}, "parameter #0 must be an i32, got 1.5"},
      {"BreadthThrust", {0.5}, "parameter #0 must be a positive integer, got 0.5"},
      {"HighLowIndex", {}, "missing parameter #0"},
      {"TickIndex", {3.0}, ""},
      {"McClellanOscillator", {kNaN}, ""},
  });
}

TEST(TransformsRegistry, CandleFamilyChecks) {
  // The overnight split first answers on the second local date, not on bar 2.
  const std::vector<registry::Entry> keys = keys_of(Feed::Kline);
  family::expect_warmup(keys, {"OvernightIntradayReturn"});
  family::expect_rejected_bars_ignored(keys);
  // (Its outputs need several local dates, which the fingerprint's series has.)
  std::vector<registry::Entry> single;
  for (const registry::Entry& e : keys) {
    if (e.key != "OvernightIntradayReturn") single.push_back(e);
  }
  family::expect_named_outputs(single, {});
  family::expect_finite_long_run(keys);
}

// Bars without a cross-section give nothing and change nothing; the first
// value comes on the bar `warmup_period` names; no named outputs; finite
// values over a long run.
TEST(TransformsRegistry, BreadthKeysOverARandomRun) {
  const std::vector<CrossSection> sections = random_sections(10000, 7);
  for (const registry::Entry& k : keys_of(Feed::CrossSection)) {
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

// (Breadth keys given a bare candle are checked over the random run above.)
TEST(TransformsRegistry, CandleFedKeysIgnoreTheCrossSection) {
  auto mid = make("MidPoint", {1});
  ASSERT_TRUE(mid);
  const CrossSection cs = all_up();
  EXPECT_EQ(step_section(*mid, &cs), 100.0);
}

TEST(TransformsRegistry, EmptyCrossSection) {
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

TEST(TransformsRegistry, NanVolumeStaysInTheLine) {
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

}  // namespace
}  // namespace fendro::testing::transforms
