// Every key of this family through the registry: parameter and constructor
// checks in their order, warm-ups, rejected bars and a long random walk.
#include <string>

#include "fendro/registry/families.hpp"
#include "indicators/family_checks.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing {
namespace {

TEST(AveragesRegistry, ChecksRunInTheirOrder) {
  family::expect_period_checks({"Hma", "Ehma", "Zlema", "McGinleyDynamic",
                                "AdaptiveLaguerreFilter", "Frama", "SineWeightedMa", "MedianMa",
                                "GeometricMa", "Vwma", "Evwma"});
  const std::string frama_min = "invalid period: FRAMA period must be at least 2";
  const std::string frama_even = "invalid period: FRAMA period must be even";
  const std::string kama = "invalid period: KAMA fast period must be strictly less than slow";
  const std::string jma_power = "invalid period: JMA power must be in 1..=4";
  const std::string gd = "invalid period: GD volume factor must be a finite value in [0.0, 1.0]";
  const std::string hw_a = "invalid period: HoltWinters alpha must be in (0.0, 1.0]";
  const std::string hw_b = "invalid period: HoltWinters beta must be in (0.0, 1.0]";
  const std::string alma_offset = "invalid period: ALMA offset must be a finite value in [0, 1]";
  const std::string alma_sigma = "invalid period: ALMA sigma must be a finite positive value";
  family::expect_build_reasons({
      {"Frama", {1}, frama_min},
      {"Frama", {3}, frama_even},
      {"Frama", {16777218}, kMax},
      // Zero lengths first, then the order of fast and slow; no upper limit.
      {"Kama", {10, 5, 5}, kama},
      {"Kama", {10, 6, 5}, kama},
      {"Kama", {10, kTiny, 30}, kZero},
      {"Kama", {kTiny, 40, 30}, kZero},
      {"Kama", {10, 2}, "missing parameter #2"},
      {"Jma", {7, 0, 0}, jma_power},
      {"Jma", {7, 0, 5}, jma_power},
      {"Jma", {7, -250, 4}, ""},
      {"Jma", {7, 0, -1}, "parameter #2 must be a u32, got -1"},
      {"Jma", {kTiny, 0, 9}, kZero},
      {"Jma", {kOver, 0, 2}, kMax},
      {"GeneralizedDema", {5, 0}, ""},
      {"GeneralizedDema", {5, -0.0}, ""},
      {"GeneralizedDema", {5, 1}, ""},
      {"GeneralizedDema", {5, 1.5}, gd},
      {"GeneralizedDema", {5, -0.1}, gd},
      {"GeneralizedDema", {kTiny, 2}, kZero},
      {"GeneralizedDema", {kOver, 0.5}, kMax},
      {"HoltWinters", {1, 1}, ""},
      {"HoltWinters", {0, 0.5}, hw_a},
      {"HoltWinters", {-0.0, 0.5}, hw_a},
      {"HoltWinters", {1.5, 0.5}, hw_a},
      {"HoltWinters", {0.5, 0}, hw_b},
      {"HoltWinters", {0, 0}, hw_a},
      {"HoltWinters", {0.5}, "missing parameter #1"},
      {"Alma", {9, 0.85, 6}, ""},
      {"Alma", {9, 1.5, 6}, alma_offset},
      {"Alma", {9, -0.1, 6}, alma_offset},
      {"Alma", {9, 0.85, 0}, alma_sigma},
      {"Alma", {9, 0.85, -1}, alma_sigma},
      {"Alma", {kTiny, 1.5, 0}, kZero},
      {"Alma", {kOver, 1.5, 0}, kMax},
      // Zero lengths before the upper limit, then jaw, teeth, lips in turn.
      {"Alligator", {13, 8, 5}, ""},
      {"Alligator", {5, 8, 13}, ""},
      {"Alligator", {kOver, kOver, kTiny}, kZero},
      {"Alligator", {5, kOver, 16777218}, kMax},
      {"Alligator", {16777216, 16777216, 16777216}, ""},
      // The regression types check their minimum first, 0 included.
      {"LinearRegression", {1}, "invalid period: linear regression needs period >= 2"},
      {"LinearRegression", {kTiny}, "invalid period: linear regression needs period >= 2"},
      {"LinearRegression", {kOver}, kMax},
      {"LinearRegression", {16777216}, ""},
      {"LinRegSlope", {1}, "invalid period: linear regression slope needs period >= 2"},
      {"LinRegAngle", {kTiny}, "invalid period: linear regression slope needs period >= 2"},
      {"LinRegIntercept", {1}, "invalid period: linear regression intercept needs period >= 2"},
      {"Tsf", {1}, "invalid period: time series forecast needs period >= 2"},
      {"TsfOscillator", {kTiny}, "invalid period: TSF oscillator needs period >= 2"},
      {"CorrelationTrendIndicator", {1}, "invalid period: CTI needs period >= 2"},
      {"CorrelationTrendIndicator", {kOver}, kMax},
      {"LinRegChannel", {1, -1}, "invalid period: linear regression channel needs period >= 2"},
      {"LinRegChannel", {kOver, -1}, kMax},
      {"LinRegChannel", {20, 0}, kMult},
      {"LinRegChannel", {20, -1}, kMult},
      {"LinRegChannel", {20, 5e-324}, ""},
      {"LinRegChannel", {20}, "missing parameter #1"},
  });
}

// The plain averages share the period checks; T3 adds its volume factor.
TEST(AveragesRegistry, BasicAverageChecks) {
  family::expect_period_checks({"Sma", "Wma", "Trima", "Ema", "Dema", "Tema", "Smma"});
  const std::string t3 = "invalid period: T3 volume factor must be a finite value in [0.0, 1.0]";
  family::expect_build_reasons({{"Sma", {1e300}, kMax},
                                {"Wma", {1e300}, kMax},
                                {"Trima", {1e300}, kMax},
                                {"Ema", {1e300}, kMax},
                                {"Dema", {1e300}, kMax},
                                {"Tema", {1e300}, kMax},
                                {"Smma", {1e300}, kMax},
                                {"T3", {kTiny, 2}, kZero},
                                {"T3", {kOver, kNaN}, "parameter #1 must be finite"},
                                {"T3", {kOver, 0.5}, kMax},
                                {"T3", {5, 1.5}, t3},
                                {"T3", {5, -0.1}, t3},
                                {"T3", {5}, "missing parameter #1"},
                                {"T3", {3, 0}, ""},
                                {"T3", {3, -0.0}, ""},
                                {"T3", {3, 1}, ""}});
}

// Kama sizes its ring from an unbounded period: a huge one builds, keeps
// memory to the bars seen, and never reaches a value.
TEST(AveragesRegistry, KamaWithAHugePeriod) {
  IndicatorPtr k = make("Kama", {1e300, 2, 30});
  EXPECT_EQ(k->warmup_period(), kU64Max);
  for (const Candle& c : random_walk(100)) EXPECT_EQ(step(*k, c), kNone);
}

// Both tables of the family through the checks every family runs; Kama
// sizes its ring from an unbounded period.
TEST(AveragesRegistry, FamilyChecks) {
  for (const family::Table table : {registry::basic_average_entries(), registry::average_entries()}) {
    family::expect_family(table, {{"Alligator", {"jaw", "teeth", "lips"}},
                                  {"LinRegChannel", {"upper", "middle", "lower"}}});
  }
  family::expect_warmups({{"Kama", {1e300, 2, 30}}});
}

}  // namespace
}  // namespace fendro::testing
