// Every level key through the registry: parameter and constructor checks,
// warm-ups, rejected bars, named outputs and a long random walk.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "fendro/registry/families.hpp"
#include "indicators/family_checks.hpp"

namespace fendro::testing {
namespace {

const family::Table kKeys = registry::level_entries();

// Keys whose first value waits for swings or a new date, not a bar count.
const std::set<std::string> kEventDriven = {
    "FibArcs",       "FibExtension", "FibFan",       "FibRetracement",   "FibTimeZones",
    "GoldenPocket",  "FibChannel",   "FibProjection", "AutoFib",         "FibConfluence",
    "AndrewsPitchfork", "OvernightGap"};

TEST(LevelsRegistry, ConstructionChecks) {
  family::expect_period_checks({"AndrewsPitchfork", "MurreyMathLines", "VolumeWeightedSr",
                                "InitialBalance", "OpeningRange"});
  family::expect_build_reasons({
      {"ClassicPivots", {1.0, 2.0}, ""},
      {"FibConfluence", {-1, 0.5}, ""},
      {"AndrewsPitchfork", {}, "missing parameter #0"},
      {"MurreyMathLines", {2.5}, "parameter #0 must be a positive integer, got 2.5"},
      {"VolumeWeightedSr", {1e300}, kMax},
      {"OpeningRange", {-3}, "parameter #0 must be a positive integer, got -3"},
      {"OvernightGap", {-2147483648.0}, ""},
      {"OvernightGap", {2147483648.0}, "parameter #0 must be an i32, got 2147483648"},
      {"SessionRange", {-720}, ""},
      {"SessionRange", {100000}, ""},
      {"SessionHighLow", {0.5}, "parameter #0 must be an i32, got 0.5"},
      {"SessionHighLow", {}, "missing parameter #0"},
  });
}

// The event-driven keys never give a value before their warm-up, however
// long they wait for their first swing or date.
TEST(LevelsRegistry, WarmupTiming) {
  const auto series = random_walk(3000, 9);
  for (const registry::Entry& k : kKeys) {
    if (kEventDriven.count(std::string(k.key)) == 0) continue;
    auto ind = family::build(k);
    for (std::size_t i = 0; i < series.size(); ++i) {
      if (step(*ind, series[i])) {
        EXPECT_GE(i + 1, ind->warmup_period()) << k.key;
        break;
      }
    }
  }
}

TEST(LevelsRegistry, FamilyChecks) {
  const std::vector<std::string> retracement = {"level_0",   "level_236", "level_382", "level_500",
                                                "level_618", "level_786", "level_1000"};
  family::expect_family(
      kKeys, {
                 {"Camarilla", {"pp", "r1", "r2", "r3", "r4", "s1", "s2", "s3", "s4"}},
                 {"CentralPivotRange", {"pivot", "tc", "bc"}},
                 {"ClassicPivots", {"pp", "r1", "r2", "r3", "s1", "s2", "s3"}},
                 {"DemarkPivots", {"pp", "r1", "s1"}},
                 {"FibonacciPivots", {"pp", "r1", "r2", "r3", "s1", "s2", "s3"}},
                 {"WoodiePivots", {"pp", "r1", "r2", "s1", "s2"}},
                 {"FibArcs", {"arc_382", "arc_500", "arc_618"}},
                 {"FibExtension",
                  {"level_1272", "level_1414", "level_1618", "level_2000", "level_2618"}},
                 {"FibFan", {"fan_382", "fan_500", "fan_618"}},
                 {"FibRetracement", retracement},
                 {"FibTimeZones", {"on_zone", "bars_to_next"}},
                 {"GoldenPocket", {"low", "mid", "high"}},
                 {"FibChannel", {"base", "level_618", "level_1000", "level_1618"}},
                 {"FibProjection", {"level_618", "level_1000", "level_1618", "level_2618"}},
                 {"AutoFib", retracement},
                 {"FibConfluence", {"price", "strength"}},
                 {"AndrewsPitchfork", {"median", "upper", "lower"}},
                 {"MurreyMathLines",
                  {"mm8_8", "mm7_8", "mm6_8", "mm5_8", "mm4_8", "mm3_8", "mm2_8", "mm1_8",
                   "mm0_8"}},
                 {"VolumeWeightedSr", {"support", "resistance"}},
                 {"InitialBalance", {"high", "low"}},
                 {"OpeningRange", {"high", "low", "breakout_distance"}},
                 {"SessionHighLow", {"high", "low"}},
                 {"SessionRange", {"asia", "eu", "us"}},
             },
      kEventDriven);
}

}  // namespace
}  // namespace fendro::testing
