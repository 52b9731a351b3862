// Every key of the family through the registry: the table, constructor
// messages, warm-up timing, rejected bars, named outputs and long runs.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "fendro/registry/families.hpp"
#include "indicators/testing.hpp"
#include "indicators/family_checks.hpp"

namespace fendro::testing::chart {
namespace {

const family::Table kKeys = registry::chart_pattern_entries();

// Types whose values wait for a swing, a pivot or a completed run, not for a
// fixed number of bars.
const std::set<std::string> kEventDriven = {
    "DoubleTopBottom", "FlagPennant", "Abcd", "CupAndHandle", "RectangleRange", "Triangle",
    "Wedge", "Bat", "Butterfly", "Crab", "Cypher", "Gartley", "HeadAndShoulders", "Shark",
    "TripleTopBottom", "ThreeDrives", "TdDWave", "TdLines", "TdRiskLevel"};

TEST(ChartFamily, ConstructorMessages) {
  family::expect_period_checks({"HeikinAshiOscillator", "SmoothedHeikinAshi", "ThreeLineBreak",
                                "TdDeMarker", "TdDWave", "TdPressure", "TdRei"});
  const std::string st1 = "invalid period: TD moving average ST1 period must be strictly less "
                          "than ST2";
  family::expect_build_reasons({
      {"DumplingTop", {4}, "invalid period: dumpling top needs period >= 5"},
      {"DumplingTop", {kTiny}, "invalid period: dumpling top needs period >= 5"},
      {"DumplingTop", {5}, ""},
      {"DumplingTop", {kOver}, kMax},
      {"FryPanBottom", {4}, "invalid period: frying pan bottom needs period >= 5"},
      {"FryPanBottom", {kOver}, kMax},
      {"NewPriceLines", {1}, "invalid period: new price lines count must be >= 2"},
      {"NewPriceLines", {kTiny}, "invalid period: new price lines count must be >= 2"},
      {"NewPriceLines", {2}, ""},
      {"NewPriceLines", {kOver}, kMax},
      {"TdMovingAverage", {5, 5}, st1},
      {"TdMovingAverage", {5, 3}, st1},
      {"TdMovingAverage", {3, 5}, ""},
      {"TdMovingAverage", {kTiny, 5}, kZero},
      {"TdMovingAverage", {kOver, 16777218}, kMax},
      {"TdMovingAverage", {3, kOver}, kMax},
      {"TdSetup", {1000000, 9}, ""},
      {"TdSetup", {4, kTiny}, kZero},
      {"TdLines", {kTiny, 9}, kZero},
      {"TdRiskLevel", {4, kTiny}, kZero},
      {"TdSequential", {4, 9, 2, kTiny}, kZero},
      {"TdCombo", {1e12, 9, 1e12, 13}, ""},
      {"TdCountdown", {kTiny, 9, 2, 13}, kZero},
      {"PivotReversal", {kTiny, 2}, kZero},
      {"PivotReversal", {2, kTiny}, kZero},
      {"PivotReversal", {1e15, 1e15}, ""},
      {"Gartley", {}, ""},
      {"Gartley", {1, 2, 3}, ""},
      // Every parameter is read before any check.
      {"TdSequential", {kTiny, 9, -1, 13}, "parameter #2 must be a positive integer, got -1"},
      {"TdMovingAverage", {5}, "missing parameter #1"},
  });
}

TEST(ChartFamily, FamilyChecks) {
  family::expect_warmup(kKeys, kEventDriven);
  family::expect_rejected_bars_ignored(kKeys);
  family::expect_named_outputs(
      kKeys, {{"TdSequential", {"setup", "countdown", "direction"}},
              {"TdLines", {"resistance", "support"}},
              {"TdRiskLevel", {"buy_risk", "sell_risk"}},
              {"TdMovingAverage", {"st1", "st2"}},
              {"TdRangeProjection", {"high", "low"}},
              {"HeikinAshi", {"open", "high", "low", "close"}},
              {"SmoothedHeikinAshi", {"open", "high", "low", "close"}}});
}

TEST(ChartFamily, FiniteOverALongRandomWalk) {
  // Levels are NaN until both sides are set, and the direction starts at 0:
  // those three are checked below.
  const std::set<std::string> special = {"TdLines", "TdRiskLevel", "TdSequential"};
  std::vector<registry::Entry> plain;
  for (const registry::Entry& k : kKeys) {
    if (special.count(std::string(k.key)) == 0) plain.push_back(k);
  }
  family::expect_finite_long_run(plain);

  const auto series = random_walk(10000, 11);
  for (const char* key : {"TdLines", "TdRiskLevel", "TdSequential"}) {
    IndicatorPtr ind = make(key, {4, 9, 2, 13});
    ASSERT_TRUE(ind);
    bool both_set = false;
    std::size_t values = 0;
    for (const Candle& c : series) {
      if (!step(*ind, c)) continue;
      ++values;
      bool finite = true;
      for (const NamedOutput& o : ind->outputs()) finite = finite && std::isfinite(o.value);
      both_set = both_set || finite;
      if (both_set) {
        ASSERT_TRUE(finite) << key;
      }
    }
    EXPECT_TRUE(both_set) << key;
    EXPECT_GT(values, 5000u) << key;
  }
}

}  // namespace
}  // namespace fendro::testing::chart
