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

family::Table keys() { return registry::candle_pattern_entries(); }

bool is_feature(const std::string& key) {
  return key == "ShadowRatio" || key == "CloseVsOpen" || key == "BodySizePct";
}

// Every pattern gives its first value on its warm-up-th valid candle, except
// the two range lines: they report 5 yet judge from the sixth (own test).
TEST(CandlePatternFamily, WarmUp) { family::expect_warmup(keys(), {"LongLine", "ShortLine"}); }

TEST(CandlePatternFamily, RejectedBarsChangeNothing) { family::expect_rejected_bars_ignored(keys()); }

TEST(CandlePatternFamily, NoNamedOutputs) { family::expect_named_outputs(keys(), {}); }

TEST(CandlePatternFamily, LongRunIsFinite) { family::expect_finite_long_run(keys()); }

// Every shape answers +1, -1 or 0; features stay in their ranges.
TEST(CandlePatternFamily, ValuesKeepTheOutputConvention) {
  const auto series = random_walk(5000, 23);
  for (const registry::Entry& k : keys()) {
    auto ind = family::build(k);
    const std::string key(k.key);
    for (const Candle& c : series) {
      const auto v = step(*ind, c);
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

// Given parameters are neither read nor checked, and change nothing.
TEST(CandlePatternFamily, ParametersAreIgnored) {
  const auto series = random_walk(300, 29);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (const registry::Entry& k : keys()) {
    auto plain = build_indicator(k.key, std::vector<double>{}).value();
    auto given = build_indicator(k.key, std::vector<double>{5.0, 7.0, nan, -1.5});
    ASSERT_TRUE(given.ok()) << k.key;
    auto with_params = std::move(given).value();
    EXPECT_EQ(run(*plain, series), run(*with_params, series)) << k.key;
  }
}

}  // namespace
}  // namespace fendro::testing::patterns
