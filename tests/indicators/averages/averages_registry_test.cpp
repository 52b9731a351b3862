// Every key of this family through the registry: parameter and constructor
// checks in their order, warm-ups, rejected bars and a long random walk.
#include <cmath>
#include <limits>
#include <string>

#include "fendro/util/saturating.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing {
namespace {

constexpr double kTiny = 1e-20;  // a positive value the reader turns into 0
constexpr double kOver = 16777217;
const std::string kZero = "period must be greater than zero";
const std::string kMax =
    "invalid period: period exceeds the maximum supported window length (see MAX_PERIOD)";
const std::string kMult = "multiplier must be greater than zero";

std::string build_reason(const std::string& key, const std::vector<double>& params) {
  const auto r = build_indicator(key, params);
  if (r.ok()) return {};
  const std::string prefix = "invalid parameters for indicator " + key + ": ";
  const std::string text = r.error().display();
  EXPECT_EQ(text.rfind(prefix, 0), 0u) << text;
  return text.substr(prefix.size());
}

TEST(AveragesRegistry, ChecksRunInTheirOrder) {
  struct Case {
    const char* key;
    std::vector<double> params;
    std::string reason;  // empty: built
  };
  const std::string frama_min = "invalid period: FRAMA period must be at least 2";
  const std::string frama_even = "invalid period: FRAMA period must be even";
  const std::string kama = "invalid period: KAMA fast period must be strictly less than slow";
  const std::string jma_power = "invalid period: JMA power must be in 1..=4";
  const std::string gd = "invalid period: GD volume factor must be a finite value in [0.0, 1.0]";
  const std::string hw_a = "invalid period: HoltWinters alpha must be in (0.0, 1.0]";
  const std::string hw_b = "invalid period: HoltWinters beta must be in (0.0, 1.0]";
  const std::string alma_offset = "invalid period: ALMA offset must be a finite value in [0, 1]";
  const std::string alma_sigma = "invalid period: ALMA sigma must be a finite positive value";
  const Case cases[] = {
      {"Hma", {kTiny}, kZero},
      {"Hma", {kOver}, kMax},
      {"Hma", {16777216}, ""},
      {"Ehma", {kOver}, kMax},
      {"Zlema", {kTiny}, kZero},
      {"Zlema", {16777216}, ""},
      {"McGinleyDynamic", {kOver}, kMax},
      {"AdaptiveLaguerreFilter", {kTiny}, kZero},
      {"AdaptiveLaguerreFilter", {kOver}, kMax},
      {"Frama", {kTiny}, kZero},
      {"Frama", {1}, frama_min},
      {"Frama", {3}, frama_even},
      {"Frama", {kOver}, kMax},
      {"Frama", {16777218}, kMax},
      {"Frama", {16777216}, ""},
      // Zero lengths first, then the order of fast and slow; no upper limit.
      {"Kama", {10, 5, 5}, kama},
      {"Kama", {10, 6, 5}, kama},
      {"Kama", {10, kTiny, 30}, kZero},
      {"Kama", {kTiny, 40, 30}, kZero},
      {"Kama", {1e30, 2, 30}, ""},
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
      {"SineWeightedMa", {kTiny}, kZero},
      {"MedianMa", {kOver}, kMax},
      {"MedianMa", {16777216}, ""},
      {"GeometricMa", {kTiny}, kZero},
      {"Vwma", {kOver}, kMax},
      {"Vwma", {16777216}, ""},
      {"Evwma", {kTiny}, kZero},
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
  };
  for (const Case& c : cases) EXPECT_EQ(build_reason(c.key, c.params), c.reason) << c.key;
}

// Kama sizes its ring from an unbounded period: a huge one builds, keeps
// memory to the bars seen, and never reaches a value.
TEST(AveragesRegistry, KamaWithAHugePeriod) {
  IndicatorPtr k = make("Kama", {1e300, 2, 30});
  EXPECT_EQ(k->warmup_period(), kU64Max);
  for (const Candle& c : random_walk(100)) EXPECT_EQ(step(*k, c), kNone);
}

struct KeyCase {
  const char* key;
  std::vector<double> params;
  bool whole_candle;  // runs the candle check (else reads only the close)
  std::size_t outputs;
};

const KeyCase kKeys[] = {
    {"Hma", {9}, false, 0},
    {"Ehma", {9}, false, 0},
    {"Zlema", {9}, false, 0},
    {"Kama", {10, 2, 30}, false, 0},
    {"Frama", {16}, false, 0},
    {"McGinleyDynamic", {14}, false, 0},
    {"Jma", {7, 50, 2}, false, 0},
    {"AdaptiveLaguerreFilter", {13}, false, 0},
    {"GeneralizedDema", {5, 0.7}, false, 0},
    {"HoltWinters", {0.3, 0.1}, false, 0},
    {"Alma", {9, 0.85, 6}, false, 0},
    {"SineWeightedMa", {9}, false, 0},
    {"MedianMa", {10}, false, 0},
    {"GeometricMa", {10}, false, 0},
    {"Vwma", {20}, true, 0},
    {"Evwma", {20}, true, 0},
    {"Alligator", {13, 8, 5}, true, 3},
    {"LinearRegression", {14}, false, 0},
    {"LinRegSlope", {14}, false, 0},
    {"LinRegAngle", {14}, false, 0},
    {"LinRegIntercept", {14}, false, 0},
    {"Tsf", {14}, false, 0},
    {"TsfOscillator", {14}, false, 0},
    {"CorrelationTrendIndicator", {20}, false, 0},
    {"LinRegChannel", {20, 2}, false, 3},
};

TEST(AveragesRegistry, EveryKeyIsRegistered) {
  std::size_t found = 0;
  for (auto family : registry::families()) {
    for (const registry::Entry& e : family) {
      for (const KeyCase& k : kKeys) found += e.key == k.key ? 1 : 0;
    }
  }
  EXPECT_EQ(found, std::size(kKeys));
}

// The first value comes on the bar `warmup_period` names, and from then on a
// finite value on every bar; outputs come in their fixed order.
TEST(AveragesRegistry, LongRandomWalk) {
  const auto cs = random_walk(10000, 42);
  for (const KeyCase& k : kKeys) {
    IndicatorPtr ind = make(k.key, k.params);
    ASSERT_TRUE(ind) << k.key;
    const std::uint64_t warmup = ind->warmup_period();
    for (std::size_t i = 0; i < cs.size(); ++i) {
      const auto v = step(*ind, cs[i]);
      ASSERT_EQ(v.has_value(), i + 1 >= warmup) << k.key << " bar " << i + 1;
      const auto outs = ind->outputs();
      if (!v) {
        EXPECT_TRUE(outs.empty()) << k.key;
        continue;
      }
      ASSERT_TRUE(std::isfinite(*v)) << k.key << " bar " << i + 1;
      ASSERT_EQ(outs.size(), k.outputs) << k.key;
      if (!outs.empty()) {
        EXPECT_EQ(outs[0].value, *v) << k.key;
      }
      for (const NamedOutput& o : outs) ASSERT_TRUE(std::isfinite(o.value)) << k.key;
    }
  }
}

// A rejected bar gives no value and leaves the state as it was: the values
// around it equal those of the series without it. A whole-candle type also
// rejects a candle whose high is below its low; a close-only type takes it.
TEST(AveragesRegistry, RejectedBarsLeaveNoTrace) {
  const auto clean = random_walk(300, 5);
  Candle nan_close = clean[0];
  nan_close.close = std::numeric_limits<double>::quiet_NaN();
  Candle crossed = clean[0];
  std::swap(crossed.high, crossed.low);
  for (const KeyCase& k : kKeys) {
    const Values want = key_values(k.key, k.params, clean);
    for (const Candle& bad : {nan_close, crossed}) {
      const bool rejected = k.whole_candle || std::isnan(bad.close);
      if (!rejected) continue;
      std::vector<Candle> dirty;
      Values expect;
      for (std::size_t i = 0; i < clean.size(); ++i) {
        if (i % 7 == 3) {
          dirty.push_back(bad);
          expect.push_back(kNone);
        }
        dirty.push_back(clean[i]);
        expect.push_back(want[i]);
      }
      EXPECT_TRUE(same_bits(key_values(k.key, k.params, dirty), expect)) << k.key;
    }
  }
}

// Close-only types never look at the rest of the candle.
TEST(AveragesRegistry, CloseOnlyTypesIgnoreTheCandleCheck) {
  const auto clean = random_walk(200, 9);
  std::vector<Candle> crossed = clean;
  for (Candle& c : crossed) {
    std::swap(c.high, c.low);
    c.volume = -1.0;
  }
  for (const KeyCase& k : kKeys) {
    if (k.whole_candle) continue;
    EXPECT_TRUE(same_bits(key_values(k.key, k.params, crossed), key_values(k.key, k.params, clean)))
        << k.key;
  }
}

}  // namespace
}  // namespace fendro::testing
