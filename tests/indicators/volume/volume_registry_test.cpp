// Every volume key through the registry: parameter and construction checks
// in their order, the family table, warm-ups, rejected bars, named outputs,
// long runs and unbounded lengths.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fendro/registry/families.hpp"
#include "indicators/family_checks.hpp"

namespace fendro::testing {
namespace {

// A key with parameters of its own.
struct Key {
  const char* key;
  std::vector<double> params;
};
const family::Table kKeys = registry::volume_entries();

constexpr double kHuge = 1e30;  // read as the largest count
const std::string kTick =
    "invalid parameter: trade volume index min_tick must be finite and non-negative";
const std::string kShape = "invalid period: profile shape needs bins >= 3";

TEST(VolumeRegistry, ChecksRunInTheirOrder) {
  family::expect_period_checks({"ForceIndex", "TwiggsMoneyFlow", "VolumeRsi", "Vzo",
                                "BetterVolume", "ChaikinMoneyFlow", "DemandIndex",
                                "EaseOfMovement", "Mfi", "Tsv", "CandleVolume", "Equivolume",
                                "RollingVwap"});
  family::expect_build_reasons({
      // No parameters: any list is accepted and ignored.
      {"Obv", {}, ""},
      {"Adl", {kNaN, -1}, ""},
      {"AdOscillator", {0}, ""},
      {"Vwap", {1.5}, ""},
      {"TradeVolumeIndex", {0.0}, ""},
      {"TradeVolumeIndex", {-0.0}, ""},
      {"TradeVolumeIndex", {0.01}, ""},
      {"TradeVolumeIndex", {-0.01}, kTick},
      {"TradeVolumeIndex", {-5e-324}, kTick},
      {"TradeVolumeIndex", {kNaN}, "parameter #0 must be finite"},
      {"TradeVolumeIndex", {}, "missing parameter #0"},
      {"VwapStdDevBands", {2.0}, ""},
      {"VwapStdDevBands", {5e-324}, ""},
      {"VwapStdDevBands", {0.0}, kMult},
      {"VwapStdDevBands", {-0.0}, kMult},
      {"VwapStdDevBands", {-1.0}, kMult},
      {"VwapStdDevBands", {}, "missing parameter #0"},
      {"SessionVwap", {-300}, ""},
      {"SessionVwap", {0}, ""},
      {"SessionVwap", {1.5}, "parameter #0 must be an i32, got 1.5"},
      {"SessionVwap", {2147483648.0}, "parameter #0 must be an i32, got 2147483648"},
      {"ChaikinOscillator", {10, 10}, "invalid period: Chaikin Oscillator needs fast < slow"},
      {"ChaikinOscillator", {3, 10}, ""},
      {"ChaikinOscillator", {10, kTiny}, kZero},  // zero before the order of the two
      {"ChaikinOscillator", {16777216, kOver}, kMax},
      {"ChaikinOscillator", {3}, "missing parameter #1"},
      {"Kvo", {55, 34}, "invalid period: KVO needs fast < slow"},
      {"Kvo", {kTiny, 34}, kZero},
      {"Kvo", {34, kOver}, kMax},
      {"Kvo", {16777215, 16777216}, ""},
      {"VolumeOscillator", {3, 3}, "invalid period: VolumeOscillator needs fast < slow"},
      {"VolumeOscillator", {kOver, 3}, "invalid period: VolumeOscillator needs fast < slow"},
      {"VolumeOscillator", {3, kOver}, kMax},
      {"VolumeOscillator", {3, 5}, ""},
      {"ForceIndex", {0}, "parameter #0 must be a positive integer, got 0"},
      {"Vzo", {2.5}, "parameter #0 must be a positive integer, got 2.5"},
      // The profiles refuse only zero lengths.
      {"VolumeProfile", {kTiny, 24}, kZero},
      {"VolumeProfile", {20, kTiny}, kZero},
      {"TpoProfile", {20, kTiny}, kZero},
      {"HighLowVolumeNodes", {kTiny, 24}, kZero},
      {"NakedPoc", {20, kTiny}, kZero},
      {"SinglePrints", {kTiny, kTiny}, kZero},
      {"ValueArea", {20, 24, 0.0}, "invalid period: value_area_pct must be in (0, 1]"},
      {"ValueArea", {20, 24, 1.5}, "invalid period: value_area_pct must be in (0, 1]"},
      {"ValueArea", {20, 24, -0.0}, "invalid period: value_area_pct must be in (0, 1]"},
      {"ValueArea", {20, 24, 1.0}, ""},
      {"ValueArea", {20, 24, 5e-324}, ""},
      {"ValueArea", {kTiny, 24, 0.0}, kZero},  // the lengths first
      {"ValueArea", {20, 24}, "missing parameter #2"},
      {"CompositeProfile", {20, 24, 0.0}, "invalid parameter: value_area_pct must be in (0, 1]"},
      {"CompositeProfile", {20, 24, 1.0000000000000002},
       "invalid parameter: value_area_pct must be in (0, 1]"},
      {"CompositeProfile", {20, 24, 1.0}, ""},
      {"CompositeProfile", {20, kTiny, 2.0}, kZero},
      {"CompositeProfile", {20, 24, kNaN}, "parameter #2 must be finite"},
      {"ProfileShape", {20, 2}, kShape},
      {"ProfileShape", {20, kTiny}, kShape},
      {"ProfileShape", {20, 3}, ""},
      {"ProfileShape", {kTiny, 2}, kZero},
      {"ProfileShape", {kOver, 2}, kMax},  // the period before the bins
      {"ProfileShape", {20, kOver}, kMax},
      {"ProfileShape", {16777216, 16777216}, ""},
  });
}

TEST(VolumeRegistry, FamilyChecks) {
  const std::vector<std::string> range = {"price_low", "price_high"};
  const std::vector<std::string> area = {"poc", "vah", "val"};
  family::expect_family(kKeys, {{"CandleVolume", {"body", "width"}},
                                {"Equivolume", {"height", "width"}},
                                {"VwapStdDevBands", {"upper", "middle", "lower", "stddev"}},
                                {"VolumeProfile", range},
                                {"TpoProfile", range},
                                {"ValueArea", area},
                                {"CompositeProfile", area},
                                {"HighLowVolumeNodes", {"hvn", "lvn"}}});
}

// 1e30 is read as the largest count: nothing may be sized by it up front.
TEST(VolumeRegistry, UnboundedProfileLengthsNeitherReserveNorWrap) {
  family::expect_warmups({{"VolumeProfile", {kHuge, kHuge}},
                          {"TpoProfile", {kHuge, kHuge}},
                          {"ValueArea", {kHuge, kHuge, 0.7}},
                          {"CompositeProfile", {kHuge, kHuge, 0.7}},
                          {"HighLowVolumeNodes", {kHuge, kHuge}},
                          {"NakedPoc", {kHuge, kHuge}},
                          {"SinglePrints", {kHuge, kHuge}}});
}

TEST(VolumeRegistry, HugeBinCountsCostNoMoreThanTheirRuns) {
  // Bins as many as the largest count: memory and time follow the candles
  // (a bin-by-bin profile would never finish here).
  for (const Key& k : std::vector<Key>{{"ValueArea", {5, kHuge, 0.7}},
                                       {"CompositeProfile", {5, kHuge, 1.0}},
                                       {"HighLowVolumeNodes", {5, kHuge}},
                                       {"NakedPoc", {5, kHuge}},
                                       {"SinglePrints", {5, kHuge}},
                                       {"ProfileShape", {5, 16777216}}}) {
    auto ind = make(k.key, k.params);
    ASSERT_TRUE(ind) << k.key;
    std::size_t values = 0;
    for (const Candle& c : random_walk(200, 13)) values += step(*ind, c).has_value() ? 1 : 0;
    EXPECT_EQ(values, 196u) << k.key;
  }
}

}  // namespace
}  // namespace fendro::testing
