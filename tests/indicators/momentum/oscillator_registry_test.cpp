// Every MACD, CCI, stochastic, smoothed-momentum and candle-range key
// through the registry: checks in their order, the family table, warm-ups,
// rejected bars, named outputs and a long run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fendro/registry/families.hpp"
#include "indicators/family_checks.hpp"

namespace fendro::testing {
namespace {

constexpr double kHuge = 1e15;  // a count no window may reserve up front
const std::string kFastSlow = "invalid period: fast period must be strictly less than slow period";
const std::string kPpo = "invalid period: PPO fast period must be < slow period";

const family::Table kKeys = registry::momentum_oscillator_entries();

TEST(OscillatorRegistry, ChecksRunInTheirOrder) {
  family::expect_period_checks({"MacdFix", "Cci", "StochasticCci", "AdaptiveCci", "WilliamsR",
                                "Trix", "Rvi", "Pgo"});
  family::expect_build_reasons({
      {"MacdIndicator", {12, 26}, "missing parameter #2"},
      {"MacdIndicator", {26, 12, kTiny}, kZero},
      {"MacdIndicator", {26, 26, 9}, kFastSlow},
      {"MacdIndicator", {kOver, 16777218, 9}, kMax},
      {"MacdIndicator", {12, 26, kOver}, kMax},
      {"MacdIndicator", {16777215, 16777216, 16777216}, ""},
      {"MacdFix", {0}, "parameter #0 must be a positive integer, got 0"},
      {"MacdHistogram", {5, 5, 0.5}, "parameter #2 must be a positive integer, got 0.5"},
      {"MacdHistogram", {5, 5, 1}, kFastSlow},
      {"Apo", {5, 5}, "invalid period: APO fast period must be strictly less than slow"},
      {"Apo", {kTiny, 5}, kZero},
      {"Apo", {5, kOver}, kMax},
      {"Ppo", {5, 5}, kPpo},
      {"Ppo", {5, kOver}, kMax},
      // The histogram checks its signal length first.
      {"PpoHistogram", {5, 5, kTiny}, kZero},
      {"PpoHistogram", {5, 5, kOver}, kMax},
      {"PpoHistogram", {5, 5, 9}, kPpo},
      {"PpoHistogram", {kTiny, 5, 9}, kZero},
      {"ZeroLagMacd", {5, 5, 1},
       "invalid period: ZeroLagMACD fast period must be strictly less than slow"},
      {"ZeroLagMacd", {12, 26, kOver}, kMax},
      {"VolumeWeightedMacd", {5, 5, 1}, kFastSlow},
      {"VolumeWeightedMacd", {5, kOver, 1}, kMax},
      {"AdaptiveCci", {1}, "invalid period: adaptive CCI needs period >= 2"},
      {"Stochastic", {14, kTiny}, kZero},
      {"Stochastic", {kTiny, kOver}, kZero},
      {"Stochastic", {14, kOver}, kMax},
      {"Smi", {kHuge, kOver, kTiny}, kZero},
      {"Smi", {kHuge, 3, kOver}, kMax},
      {"KasePermissionStochastic", {kOver, kTiny}, kMax},
      {"KasePermissionStochastic", {5, kTiny}, kZero},
      {"KasePermissionStochastic", {5, kOver}, kMax},
      // Every zero is found before any length is measured.
      {"Kst", {kOver, 15, 20, 30, 10, 10, 10, 15, kTiny}, kZero},
      {"Kst", {10, 15, 20, 30, 10, 10, 10, 15, kOver}, kMax},
      {"Kst", {10, 15, 20, 30, 10, 10, 10, 15}, "missing parameter #8"},
      {"Coppock", {kOver, kOver, kTiny}, kZero},
      {"Coppock", {14, 11, kOver}, kMax},
      {"Coppock", {1, 1, 1}, ""},
      {"Pmo", {kTiny, 1}, kZero},
      {"Pmo", {1, 20}, "invalid period: PMO smoothing periods must be >= 2"},
      {"Pmo", {kHuge, kHuge}, ""},
      {"Tsi", {0, 5}, "parameter #0 must be a positive integer, got 0"},
      {"Tsi", {5, kTiny}, kZero},
      {"Tsi", {16777216, 1}, ""},
      {"Tsi", {kOver, 1}, kMax},
      {"Tii", {kOver, kTiny}, kZero},
      {"Tii", {kOver, 5}, kMax},
      {"Stc", {kTiny, 50, 10, 0.5}, kZero},
      {"Stc", {23, 50, kTiny, 0.5}, kZero},
      {"Stc", {1, 50, 1, 0.5}, ""},
      {"Stc", {5, 5, 10, 5}, "invalid period: STC fast period must be strictly less than slow"},
      {"Stc", {23, 50, 10, 0}, "invalid period: STC factor must be a finite value in (0, 1]"},
      {"Stc", {23, 50, 10, 1.5}, "invalid period: STC factor must be a finite value in (0, 1]"},
      {"Stc", {23, kOver, 10, 0.5}, kMax},
      {"Stc", {23, 50, 10, kNaN}, "parameter #3 must be finite"},
      {"Stc", {23, 50, kHuge, 1}, ""},  // no upper check on the cycle
      {"UltimateOscillator", {7, kTiny, 28}, kZero},
      {"UltimateOscillator", {kHuge, 14, 7}, ""},
      {"WaveTrend", {10, 21, kTiny}, kZero},
      {"WaveTrend", {10, kOver, 4}, kMax},
      {"WaveTrend", {10, 21, kOver}, kMax},
      {"ProjectionOscillator", {1}, "invalid period: projection bands need period >= 2"},
      {"ProjectionOscillator", {kTiny}, "invalid period: projection bands need period >= 2"},
      {"ProjectionOscillator", {kOver}, kMax},
      {"Inertia", {1, kTiny}, kZero},
      {"Inertia", {kOver, 1}, kMax},
      {"Inertia", {1, 14}, "invalid period: RVI period must be >= 2"},
      {"Inertia", {14, 1}, "invalid period: linear regression needs period >= 2"},
      {"Inertia", {14, kOver}, kMax},
  });
  // The alias reports the type it builds.
  EXPECT_EQ(family::build_message("Macd", {26, 12, 9}), family::invalid("MacdIndicator", kFastSlow));
}

TEST(OscillatorRegistry, FamilyChecks) {
  const std::vector<std::string> macd = {"macd", "signal", "histogram"};
  family::expect_family(kKeys, {{"MacdIndicator", macd},
                                {"MacdFix", macd},
                                {"ZeroLagMacd", macd},
                                {"VolumeWeightedMacd", macd},
                                {"Stochastic", {"k", "d"}},
                                {"KasePermissionStochastic", {"fast", "slow"}},
                                {"Kst", {"kst", "signal"}},
                                {"WaveTrend", {"wt1", "wt2"}}});
}

// 1e30 is read as the largest count; the warm-up arithmetic must not wrap.
TEST(OscillatorRegistry, HugeCountsSaturateTheWarmUp) {
  family::expect_warmups({{"Stochastic", {1e30, 3}, kU64Max - 1},
                          {"Smi", {1e30, 3, 3}, kU64Max - 2},
                          {"Tii", {30, 1e30}, kU64Max - 1},
                          {"Stc", {23, 50, 1e30, 0.5}, kU64Max - 2},
                          {"UltimateOscillator", {7, 1e30, 28}}});
}

}  // namespace
}  // namespace fendro::testing
