// Every cycle key through the registry: checks in their order, the family
// table, warm-ups, rejected bars, named outputs and a long run.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "fendro/registry/families.hpp"
#include "indicators/family_checks.hpp"

namespace fendro::testing::cycle {
namespace {

constexpr double kHuge = 1e12;  // no upper check, and nothing sized from it up front
const std::string kLimits =
    "invalid period: fast_limit, slow_limit must satisfy 0 < slow_limit <= fast_limit <= 1";
const std::string kAvg =
    "invalid period: autocorrelation periodogram needs AvgLength < min_period < max_period";
const std::string kLpHp = "invalid period: lp_period must be strictly less than hp_period";
const std::string kBand = "invalid parameter: bandpass bandwidth must be in (0, 1)";
const std::string kFraction = "invalid period: fraction must be in (0, 1]";

const family::Table kKeys = registry::cycle_entries();

TEST(CycleRegistry, ChecksRunInTheirOrder) {
  family::expect_period_checks({"CenterOfGravity", "EhlersStochastic", "Reflex", "Trendflex",
                                "CyberneticCycle", "Decycler", "HighpassFilter",
                                "InstantaneousTrendline", "SuperSmoother", "UniversalOscillator"});
  family::expect_build_reasons({
      {"AutocorrelationPeriodogram", {10}, "missing parameter #1"},
      {"AutocorrelationPeriodogram", {kTiny, 3}, kZero},
      {"AutocorrelationPeriodogram", {3, 48}, kAvg},
      {"AutocorrelationPeriodogram", {12, 12}, kAvg},
      {"AutocorrelationPeriodogram", {4, 10}, kLpHp},
      {"AutocorrelationPeriodogram", {4, 11}, ""},
      {"AutocorrelationPeriodogram", {10, kHuge}, ""},  // no upper check
      {"BandpassFilter", {20}, "missing parameter #1"},
      {"BandpassFilter", {20, kNaN}, "parameter #1 must be finite"},
      {"BandpassFilter", {kTiny, 0.0}, kZero},
      {"BandpassFilter", {kOver, 0.0}, kMax},
      {"BandpassFilter", {20, 0.0}, kBand},
      {"BandpassFilter", {20, 1.0}, kBand},
      {"BandpassFilter", {20, -0.2}, kBand},
      {"BandpassFilter", {16777216, 0.999}, ""},
      {"HighpassFilter", {0.5}, "parameter #0 must be a positive integer, got 0.5"},
      {"DecyclerOscillator", {kOver, kTiny}, kZero},
      {"DecyclerOscillator", {30, 30}, "invalid period: fast period must be strictly less than slow period"},
      {"DecyclerOscillator", {30, kOver}, kMax},
      {"DecyclerOscillator", {kOver - 1, kOver}, kMax},
      {"EmpiricalModeDecomposition", {kTiny, 2.0}, kZero},
      {"EmpiricalModeDecomposition", {kOver, 2.0}, kMax},
      {"EmpiricalModeDecomposition", {20, 0.0}, kFraction},
      {"EmpiricalModeDecomposition", {20, 1.5}, kFraction},
      {"EmpiricalModeDecomposition", {20, 1.0}, ""},
      {"EvenBetterSinewave", {kOver, kTiny}, kZero},
      {"EvenBetterSinewave", {40, kOver}, kMax},
      {"EvenBetterSinewave", {kHuge, 10}, ""},  // the duration has no upper check
      {"Mama", {0.5}, "missing parameter #1"},
      {"Mama", {0.5, 0.05}, ""},
      {"Mama", {0.5, 0.6}, kLimits},
      {"Mama", {1.5, 0.05}, kLimits},
      {"Mama", {0.5, 0.0}, kLimits},
      {"Mama", {1.0, 1.0}, ""},
      {"Fama", {0.5, 0.6}, kLimits},
      {"Fama", {-0.5, -0.6}, kLimits},
      {"RoofingFilter", {kTiny, 48}, kZero},
      {"RoofingFilter", {48, 48}, kLpHp},
      {"RoofingFilter", {kOver, 16777218}, kMax},
      {"RoofingFilter", {10, kHuge}, ""},  // only the low-pass length is limited
      {"HtPhasor", {}, ""},
      {"AdaptiveCycle", {kNaN, -1, 0.5}, ""},  // parameters are ignored
      {"HtTrendMode", {1, 2, 3}, ""},
  });
}

TEST(CycleRegistry, FamilyChecks) {
  family::expect_family(kKeys, {{"Mama", {"mama", "fama"}}, {"HtPhasor", {"inphase", "quadrature"}}});
}

}  // namespace
}  // namespace fendro::testing::cycle
