#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "fendro/registry/families.hpp"
#include "indicators/family_checks.hpp"
#include "indicators/patterns/candle_cases.hpp"

namespace fendro::testing::patterns {
namespace {

const family::Table kTables[] = {registry::candle_pattern_entries(),
                                 registry::multi_candle_pattern_entries()};

bool is_feature(const std::string& key) {
  return key == "ShadowRatio" || key == "CloseVsOpen" || key == "BodySizePct";
}

// Every pattern gives its first value on its warm-up-th valid candle, except
// the two range lines: they report 5 yet judge from the sixth.
TEST(CandlePatternFamily, FamilyChecks) {
  for (const family::Table table : kTables) {
    family::expect_family(table, {}, {"LongLine", "ShortLine"});
  }
}

// Every shape answers +1, -1 or 0; features stay in their ranges. Given
// parameters are neither read nor checked, and change nothing.
TEST(CandlePatternFamily, ValuesKeepTheOutputConventionWhateverTheParameters) {
  const auto series = random_walk(5000, 23);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (const family::Table table : kTables) {
    for (const registry::Entry& k : table) {
      auto ind = family::build(k);
      auto given = build_indicator(k.key, std::vector<double>{5.0, 7.0, nan, -1.5});
      ASSERT_TRUE(given.ok()) << k.key;
      auto with_params = std::move(given).value();
      const std::string key(k.key);
      for (const Candle& c : series) {
        const auto v = step(*ind, c);
        ASSERT_EQ(v, step(*with_params, c)) << key;
        if (!v) continue;
        if (key == "ShadowRatio") {
          ASSERT_TRUE(*v >= -1.0 && *v <= 1.0) << key;
        } else if (key == "BodySizePct") {
          ASSERT_TRUE(*v >= 0.0 && *v <= 1.0) << key;
        } else if (!is_feature(key)) {
          ASSERT_TRUE(*v == 1.0 || *v == -1.0 || *v == 0.0) << key << " " << *v;
        }
      }
    }
  }
}

// An invalid candle inside a figure is skipped: the figure still forms from
// the valid candles around it.
TEST(MultiCandlePatternFamily, InvalidCandleInsideAFigure) {
  const Candle inverted = ohlc(10, 9, 11, 10);  // high below low
  Candle nan_open = kLongBull;
  nan_open.open = std::numeric_limits<double>::quiet_NaN();
  const Candle negative_volume{0, 10, 10, 8, 8, -1.0};
  expect_cases({
      {"Hikkake", {ohlc(10, 12, 8, 11), inverted, ohlc(10, 11, 9, 10.5), nan_open,
                   ohlc(9.5, 10.5, 8.5, 9)},
       1.0},
      {"IdenticalThreeCrows", {ohlc(13, 13, 12, 12), negative_volume, ohlc(12, 12, 11, 11),
                               ohlc(11, 11, 10, 10)},
       -1.0},
  });
}

TEST(MultiCandlePatternFamily, WarmUpLengths) {
  const std::vector<std::pair<const char*, std::uint64_t>> want = {
      {"ThreeSoldiersOrCrows", 3}, {"TasukiGap", 3},       {"ThreeLineStrike", 4},
      {"RisingThreeMethods", 5},   {"MatHold", 5},         {"Breakaway", 5},
      {"LadderBottom", 5},         {"ConcealingBabySwallow", 4}, {"Hikkake", 3},
      {"HikkakeModified", 4},
  };
  for (const auto& [key, n] : want) {
    EXPECT_EQ(make(key, {})->warmup_period(), n) << key;
  }
}

}  // namespace
}  // namespace fendro::testing::patterns
