// Every volatility key through the registry: parameter and constructor
// checks in their order, warm-ups, a long random walk, rejected bars.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fendro/registry/families.hpp"
#include "indicators/family_checks.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing {
namespace {

TEST(VolRegistry, ChecksRunInTheirOrder) {
  family::expect_period_checks({"Atr", "Natr", "VolatilityRatio", "BipowerVariation",
                                "RviVolatility", "StdDev", "UlcerIndex", "Donchian",
                                "FractalChaosBands", "QuartileBands"});
  const std::string ewma = "invalid parameter: EWMA volatility lambda must be in the open interval (0, 1)";
  const std::string jump_n = "invalid period: jump indicator needs period >= 2";
  const std::string bomar = "invalid parameter: bomar bands coverage must be a finite value in (0.0, 1.0]";
  const std::string vov = "invalid period: vol-of-vol windows must both be >= 2";
  family::expect_build_reasons({
      // AtrBands tests its multiplier before its period.
      {"AtrBands", {kTiny, -1}, kMult},
      {"AtrBands", {14, 0.0}, kMult},
      {"AtrBands", {14, -0.0}, kMult},
      {"AtrBands", {14, 5e-324}, ""},
      {"AtrBands", {kOver, 2}, kMax},
      {"AtrBands", {16777216, 2}, ""},
      {"EwmaVolatility", {0.94}, ""},
      {"EwmaVolatility", {0.0}, ewma},
      {"EwmaVolatility", {1.0}, ewma},
      {"EwmaVolatility", {1.5}, ewma},
      {"EwmaVolatility", {kNaN}, "parameter #0 must be finite"},
      {"HighLowRange", {}, ""},
      {"TrueRange", {1, kNaN, -3}, ""},
      {"ChoppinessIndex", {1}, "invalid period: choppiness index needs period >= 2"},
      {"ChoppinessIndex", {kTiny}, "invalid period: choppiness index needs period >= 2"},
      {"ChoppinessIndex", {kOver}, kMax},
      {"BipowerVariation", {1}, "invalid period: bipower variation period must be >= 2"},
      {"RviVolatility", {1}, "invalid period: RVI period must be >= 2"},
      {"DetrendedStdDev", {kTiny}, "invalid period: detrended stddev needs period >= 2"},
      {"ProjectionBands", {1}, "invalid period: projection bands need period >= 2"},
      {"RealizedVolatility", {1}, ""},
      {"BollingerBands", {kTiny, -1}, kZero},  // period before multiplier
      {"BollingerBands", {20, 0}, kMult},
      {"BollingerBands", {kOver, 0}, kMax},
      {"Bollinger", {20, 2}, ""},
      {"PercentB", {20, -2}, kMult},
      {"BollingerBandwidth", {kOver, 2}, kMax},
      {"HurstChannel", {kOver, 0}, kMult},  // multiplier before period
      {"MedianChannel", {kOver, 0}, kMax},  // period before multiplier
      {"AccelerationBands", {kOver, -4}, kMult},
      {"MaEnvelope", {kTiny, 0}, kMult},
      {"MaEnvelope", {kTiny, 0.1}, kZero},
      {"StandardErrorBands", {2, 2}, "invalid period: standard error bands need period >= 3"},
      {"StandardErrorBands", {kTiny, 0}, "invalid period: standard error bands need period >= 3"},
      {"StandardErrorBands", {3, -1}, kMult},
      {"BomarBands", {20, 1.0}, ""},
      {"BomarBands", {20, 1.0000000001}, bomar},
      {"BomarBands", {20, 0}, bomar},
      {"BomarBands", {kOver, 2}, kMax},
      {"JumpIndicator", {kTiny, -1}, jump_n},
      {"JumpIndicator", {kOver, -1}, kMax},
      {"JumpIndicator", {10, 0}, "invalid parameter: jump indicator threshold must be finite and positive"},
      // DoubleBollinger: both multipliers, their order, then the period.
      {"DoubleBollinger", {kOver, 0, 1}, kMult},
      {"DoubleBollinger", {kOver, 1, -1}, kMult},
      {"DoubleBollinger", {kOver, 2, 2}, "invalid period: double bollinger requires k_outer > k_inner"},
      {"DoubleBollinger", {kOver, 1, 2}, kMax},
      {"DoubleBollinger", {kTiny, 1, 2}, kZero},
      {"TtmSqueeze", {20, 2.0}, "missing parameter #2"},
      {"TtmSqueeze", {1, 0, 0}, "invalid period: TTM squeeze needs period >= 2 for the momentum regression"},
      {"TtmSqueeze", {kOver, 0, 1}, kMax},
      {"TtmSqueeze", {20, 2, 0}, kMult},
      {"Keltner", {kOver, kOver, 0}, kMult},
      {"Keltner", {kOver, kTiny, 1}, kMax},
      {"Keltner", {20, kTiny, 1}, kZero},
      {"StarcBands", {kTiny, kOver, 1}, kZero},
      {"StarcBands", {5, kOver, 1}, kMax},
      {"ChaikinVolatility", {kOver, kTiny}, kMax},
      {"ChaikinVolatility", {10, kOver}, kMax},
      {"MassIndex", {kOver, 25}, kMax},
      {"MassIndex", {9, kTiny}, kZero},
      {"WavePm", {14, kOver}, kMax},
      {"WavePm", {kTiny, kOver}, kZero},
      {"VolatilityOfVolatility", {1, kTiny}, kZero},
      {"VolatilityOfVolatility", {1, 5}, vov},
      {"VolatilityOfVolatility", {5, 1}, vov},
      {"GarmanKlassVolatility", {5, kTiny}, kZero},
      {"ParkinsonVolatility", {kTiny, 5}, kZero},
      {"RogersSatchellVolatility", {1e30, 252}, ""},
      {"HistoricalVolatility", {1, kTiny}, kZero},
      {"HistoricalVolatility", {1, 252}, "invalid period: historical volatility period must be >= 2"},
      {"HistoricalVolatility", {kOver, 252}, kMax},
      {"HistoricalVolatility", {20, 1e30}, ""},
      {"YangZhangVolatility", {1, 252}, "invalid period: Yang-Zhang period must be >= 2"},
      {"YangZhangVolatility", {1, kTiny}, kZero},
      {"YangZhangVolatility", {kOver, 252}, kMax},
      {"AverageDailyRange", {5, 2147483647}, ""},
      {"AverageDailyRange", {5, -2147483648.0}, ""},
      {"AverageDailyRange", {5, 2147483648.0}, "parameter #1 must be an i32, got 2147483648"},
      {"AverageDailyRange", {kTiny, 0}, kZero},
      {"AverageDailyRange", {kOver, 0}, kMax},
      {"Garch11", {1e-6, 0.1, 0.85}, ""},
      {"Garch11", {0, 0.1, 0.8}, "invalid parameter: GARCH(1,1) omega must be > 0"},
      {"Garch11", {1e-6, -0.1, 0.8}, "invalid parameter: GARCH(1,1) alpha and beta must be >= 0"},
      {"Garch11", {1e-6, 0.5, 0.5},
       "invalid parameter: GARCH(1,1) requires alpha + beta < 1 (covariance stationarity)"},
      {"Garch11", {kNaN, 0.1, 0.8}, "parameter #0 must be finite"},
      {"Garch11", {1e-6, 0.1}, "missing parameter #2"},
  });
}

TEST(VolRegistry, UnboundedLengthsSaturateTheirWarmUp) {
  family::expect_warmups({{"VolatilityOfVolatility", {1e30, 1e30}},
                          {"VolatilityOfVolatility", {3, 4}, 7},
                          {"MassIndex", {3, 1e30}},
                          {"MassIndex", {3, 4}, 8},
                          {"GarmanKlassVolatility", {1e30, 1}}});
}

// FractalChaosBands and AverageDailyRange fill a window of events, not of bars.
TEST(VolRegistry, FamilyChecks) {
  const std::vector<std::string> band = {"upper", "middle", "lower"};
  family::expect_family(
      registry::volatility_entries(),
      {{"BollingerBands", {"upper", "middle", "lower", "stddev"}},
       {"DoubleBollinger", {"upper_outer", "upper_inner", "middle", "lower_inner", "lower_outer"}},
       {"TtmSqueeze", {"squeeze", "momentum"}},
       {"FractalChaosBands", {"upper", "lower"}},
       {"AtrBands", band},
       {"Keltner", band},
       {"StarcBands", band},
       {"AccelerationBands", band},
       {"MaEnvelope", band},
       {"StandardErrorBands", band},
       {"ProjectionBands", band},
       {"Donchian", band},
       {"HurstChannel", band},
       {"MedianChannel", band},
       {"QuartileBands", band},
       {"BomarBands", band}},
      {"FractalChaosBands", "AverageDailyRange"});
}

// On every bar that gives a value, the types with named outputs give their
// first one.
TEST(VolRegistry, ValueIsTheFirstOutput) {
  const std::vector<Candle> bars = random_walk(200, 3);
  for (const registry::Entry& e : registry::volatility_entries()) {
    IndicatorPtr ind = family::build(e);
    ASSERT_TRUE(ind) << e.key;
    for (const Candle& c : bars) {
      const auto v = step(*ind, c);
      const auto outs = ind->outputs();
      if (v && !outs.empty()) {
        ASSERT_EQ(outs[0].value, *v) << e.key;
      }
    }
  }
}

// One-minute bars: the first daily range closes with the first bar of the
// second day.
TEST(VolRegistry, AverageDailyRangeFirstValueOnTheSecondDay) {
  const Values got = key_values("AverageDailyRange", {5, 0}, random_walk(3000, 7));
  std::size_t first = 0;
  while (first < got.size() && !got[first]) ++first;
  EXPECT_EQ(first + 1, 1441u);
}

}  // namespace
}  // namespace fendro::testing
