#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "fendro/registry/families.hpp"
#include "indicators/family_checks.hpp"
#include "indicators/patterns/candle_cases.hpp"

namespace fendro::testing::patterns {
namespace {

family::Table keys() { return registry::multi_candle_pattern_entries(); }

TEST(MultiCandlePatternFamily, WarmUp) { family::expect_warmup(keys()); }

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

TEST(MultiCandlePatternFamily, RejectedBarsChangeNothing) {
  family::expect_rejected_bars_ignored(keys());
}

TEST(MultiCandlePatternFamily, NoNamedOutputs) { family::expect_named_outputs(keys(), {}); }

TEST(MultiCandlePatternFamily, LongRunIsFinite) { family::expect_finite_long_run(keys()); }

// Every value is +1, -1 or 0, and parameters given anyway change nothing.
TEST(MultiCandlePatternFamily, ValuesAndIgnoredParameters) {
  const auto series = random_walk(3000, 31);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (const registry::Entry& k : keys()) {
    auto plain = family::build(k);
    auto given = build_indicator(k.key, std::vector<double>{14.0, nan, -2.5});
    ASSERT_TRUE(given.ok()) << k.key;
    auto with_params = std::move(given).value();
    for (const Candle& c : series) {
      const auto v = step(*plain, c);
      ASSERT_EQ(v, step(*with_params, c)) << k.key;
      if (v) {
        ASSERT_TRUE(*v == 1.0 || *v == -1.0 || *v == 0.0) << k.key << " " << *v;
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

}  // namespace
}  // namespace fendro::testing::patterns
