#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "fendro/registry/families.hpp"
#include "indicators/family_checks.hpp"

namespace fendro::testing {
namespace {

TEST(TrendRegistry, ConstructionChecksInTheirOrder) {
  family::expect_period_checks({"Dx", "Adxr", "Aroon", "TimeBasedStop", "TrendStrengthIndex",
                                "Rwi", "ModifiedMaStop", "DonchianStop"});
  family::expect_build_reasons({
      // The ATR stops test the multiplier before the period.
      {"AtrTrailingStop", {kOver, -1}, kMult},
      {"AtrTrailingStop", {kOver, 2}, kMax},
      {"AtrTrailingStop", {5}, "missing parameter #1"},
      {"SuperTrend", {kOver, -0.0}, kMult},
      {"VoltyStop", {kTiny, 1e-300}, kZero},
      {"YoyoExit", {kOver, 0}, kMult},
      {"AtrRatchet", {kOver, 1, 0}, kMult},
      {"AtrRatchet", {kOver, 1, 1}, kMax},
      {"ChandelierExit", {kOver, 0}, kMult},
      {"ChandelierExit", {kOver, 3}, kMax},
      // Stop period (index 2) before the ATR period (index 0).
      {"ChandeKrollStop", {kOver, 2, kTiny}, kZero},
      {"ChandeKrollStop", {kOver, 0, kTiny}, kMult},
      {"ChandeKrollStop", {5, 2, kOver}, kMax},
      {"ChandeKrollStop", {kOver, 2, 5}, kMax},
      {"Nrtr", {99.9}, ""},
      {"Nrtr", {100}, "invalid parameter: NRTR percentage must be in (0, 100)"},
      {"Nrtr", {-0.0}, "invalid parameter: NRTR percentage must be in (0, 100)"},
      {"Psar", {0.02, 0.02, 0.2}, ""},
      {"Psar", {0.2, 0.5, 0.2}, ""},  // the step is not compared with the ceiling
      {"Psar", {0.3, 0.02, 0.2}, "invalid period: af_start must be <= af_max"},
      {"Psar", {0.02, 0, 0.2}, kMult},
      {"Psar", {0.3, 0.02, -0.2}, kMult},
      {"SarExt", {0, -0.0, 0.02, 0.02, 0.2, 0.02, 0.02, 0.2}, ""},
      {"SarExt", {5, -0.1, 0.02, 0.02, 0.2, 0.02, 0.02, 0.2}, kMult},
      {"SarExt", {0, 0, 0.3, 0.02, 0.2, 0, 0.02, 0.2},
       "invalid period: acceleration init must be <= max"},
      {"SarExt", {0, 0, 0.02, 0.02, 0.2, 0, 0.02, 0.2}, kMult},
      {"SarExt", {0, 0, 0.02, 0.02, 0.2, 0.3, 0.02, 0.2},
       "invalid period: acceleration init must be <= max"},
      {"SarExt", {0, 0, 0.02, 0.02, 0.2, 0.02, 0.02}, "missing parameter #7"},
      {"ZigZag", {0.999}, ""},
      {"ZigZag", {1}, "invalid period: ZigZag threshold must be a finite fraction in (0, 1)"},
      {"ZigZag", {0}, "invalid period: ZigZag threshold must be a finite fraction in (0, 1)"},
      {"PercentageTrailingStop", {150}, ""},
      {"PercentageTrailingStop", {-0.0}, kMult},
      {"RenkoTrailingStop", {0}, kMult},
      {"StepTrailingStop", {-2}, kMult},
      {"HiLoActivator", {0.5}, "parameter #0 must be a positive integer, got 0.5"},
      {"TrendStrengthIndex", {1}, "invalid period: period must be >= 2 for a regression"},
      {"Rwi", {1}, "invalid period: RWI requires period >= 2"},
      {"PolarizedFractalEfficiency", {kOver, kTiny}, kMax},
      {"PolarizedFractalEfficiency", {10, kTiny}, kZero},
      {"PolarizedFractalEfficiency", {10, kOver}, kMax},
      {"ElderImpulse", {kOver, 12, 26, 9}, kMax},
      {"ElderImpulse", {13, 26, 12, kTiny}, kZero},
      {"ElderImpulse", {13, 12, 12, 9},
       "invalid period: fast period must be strictly less than slow period"},
      {"ElderImpulse", {13, 16777218, kOver, 9},
       "invalid period: fast period must be strictly less than slow period"},
      {"ElderImpulse", {13, 12, kOver, 9}, kMax},
      // Period tests before the multiplier here; Kase's minimum comes first.
      {"ElderSafeZone", {kOver, 0}, kMax},
      {"ElderSafeZone", {5, 0}, kMult},
      {"KaseDevStop", {1, 2}, "invalid period: Kase DevStop period must be >= 2"},
      {"KaseDevStop", {kTiny, 2}, "invalid period: Kase DevStop period must be >= 2"},
      {"KaseDevStop", {kOver, 0}, kMax},
      {"KaseDevStop", {5, 0}, kMult},
  });
}

TEST(TrendRegistry, FamilyChecks) {
  const std::map<std::string, std::vector<std::string>> named = {
      {"Adx", {"plus_di", "minus_di", "adx"}},  {"Aroon", {"up", "down"}},
      {"Vortex", {"plus", "minus"}},            {"Rwi", {"high", "low"}},
      {"ZigZag", {"swing", "direction"}},       {"SuperTrend", {"value", "direction"}},
      {"AtrRatchet", {"value", "direction"}},   {"Nrtr", {"value", "direction"}},
      {"ChandelierExit", {"long_stop", "short_stop"}},
      {"ChandeKrollStop", {"stop_long", "stop_short"}},
      {"DonchianStop", {"stop_long", "stop_short"}},
      {"ElderSafeZone", {"value", "direction"}}, {"KaseDevStop", {"value", "direction"}},
      {"ModifiedMaStop", {"value", "direction"}},
  };
  family::expect_family(registry::trend_entries(), named, {"ZigZag"});  // values only on confirmed swings
}

}  // namespace
}  // namespace fendro::testing
