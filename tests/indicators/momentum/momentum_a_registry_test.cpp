#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "fendro/registry/families.hpp"
#include "indicators/family_checks.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing {
namespace {

const std::string kAo = "invalid period: AO fast period must be strictly less than slow";

TEST(MomentumARegistry, ConstructionChecksInTheirOrder) {
  family::expect_period_checks({"Rsi", "FisherRsi", "AdaptiveRsi", "Rsx", "Cmo",
                                "DynamicMomentumIndex", "IntradayMomentumIndex", "Roc", "Rocp",
                                "Rocr", "Rocr100", "Cfo", "Dpo", "DisparityIndex",
                                "FisherTransform", "ElderRay", "Qstick"});
  family::expect_build_reasons({
      {"Rsi", {}, "missing parameter #0"},
      {"StochRsi", {kOver, kTiny}, kZero},
      {"StochRsi", {kOver, 5}, kMax},
      {"DerivativeOscillator", {kOver, kOver, kOver, kTiny}, kZero},
      {"DerivativeOscillator", {kOver, 5, 3, 9}, kMax},
      {"DerivativeOscillator", {14, 5, 3, kOver}, kMax},
      {"DerivativeOscillator", {14, 5, 3}, "missing parameter #3"},
      {"Qqe", {kTiny, 5, -1}, kZero},
      {"Qqe", {kOver, 5, 0}, "invalid period: QQE factor must be a finite positive value"},
      {"Qqe", {14, 5, -0.0}, "invalid period: QQE factor must be a finite positive value"},
      {"Qqe", {kOver, 5, 4.236}, kMax},
      {"Qqe", {8388608, 5, 4.236}, ""},
      {"Qqe", {8388609, 5, 4.236}, kMax},  // its band length 2n - 1 is too long
      {"Qqe", {14, kOver, 4.236}, kMax},
      {"Qqe", {14, 5, kNaN}, "parameter #2 must be finite"},
      {"ConnorsRsi", {3, 2, kTiny}, kZero},
      {"ConnorsRsi", {kOver, kOver, 100}, kMax},
      {"ConnorsRsi", {3, kOver, 100}, kMax},
      {"Rmi", {kTiny, 1}, kZero},
      {"Rmi", {5, kTiny}, kZero},
      {"AnchoredRsi", {}, ""},
      {"AnchoredRsi", {kNaN, -1}, ""},
      {"LaguerreRsi", {0}, ""},
      {"LaguerreRsi", {1}, ""},
      {"LaguerreRsi", {-0.1}, "invalid period: LaguerreRSI gamma must be a finite value in [0, 1]"},
      {"LaguerreRsi", {1.1}, "invalid period: LaguerreRSI gamma must be a finite value in [0, 1]"},
      {"LaguerreRsi", {kNaN}, "parameter #0 must be finite"},
      {"Vidya", {kTiny, kOver}, kZero},
      {"Vidya", {5, kOver}, kMax},
      {"Mom", {0.5}, "parameter #0 must be a positive integer, got 0.5"},
      {"Cfo", {1}, "invalid period: linear regression needs period >= 2"},
      {"Cfo", {2}, ""},
      {"InverseFisherTransform", {0}, "invalid period: scale must be a positive finite number"},
      {"InverseFisherTransform", {-0.0}, "invalid period: scale must be a positive finite number"},
      {"InverseFisherTransform", {-1}, "invalid period: scale must be a positive finite number"},
      {"InverseFisherTransform", {5e-324}, ""},
      {"InverseFisherTransform", {INFINITY}, "parameter #0 must be finite"},
      {"AwesomeOscillator", {5, 5}, kAo},
      {"AwesomeOscillator", {34, 5}, kAo},
      {"AwesomeOscillator", {2, 1}, kAo},  // a slow length of 1 is not a zero
      {"AwesomeOscillator", {kTiny, 5}, kZero},
      {"AwesomeOscillator", {kOver, 16777218}, kMax},
      {"AwesomeOscillator", {5, kOver}, kMax},
      {"AwesomeOscillatorHistogram", {5, 5, 1},
       "invalid period: AwesomeOscillatorHistogram fast must be strictly less than slow"},
      {"AwesomeOscillatorHistogram", {5, 5, kTiny}, kZero},
      {"AwesomeOscillatorHistogram", {5, kOver, 1}, kMax},
      {"AcceleratorOscillator", {5, 5, kTiny}, kAo},
      {"AcceleratorOscillator", {5, 34, kTiny}, kZero},
      {"AcceleratorOscillator", {5, 34, kOver}, kMax},
      {"GatorOscillator", {kOver, kOver, kTiny}, kZero},
      {"GatorOscillator", {13, kOver, 5}, kMax},
      {"GatorOscillator", {5, 8, 13}, ""},  // the lengths need no order
      {"BalanceOfPower", {}, ""},
  });
}

TEST(MomentumARegistry, FamilyChecks) {
  family::expect_family(registry::momentum_entries(),
                        {{"Qqe", {"rsi_ma", "trailing_line"}},
                         {"ElderRay", {"bull_power", "bear_power"}},
                         {"GatorOscillator", {"upper", "lower"}}});
}

// Every key gives a finite value on every bar from its warm-up on, not
// merely now and then.
TEST(MomentumARegistry, LongRandomWalkGivesOnlyFiniteValues) {
  family::expect_finite_long_run(registry::momentum_entries(), 10000, true);
}

// The first output is the value itself, whatever the parameters.
TEST(MomentumARegistry, NamedOutputsInTheirFixedOrder) {
  struct Case {
    const char* key;
    std::vector<double> params;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {"Qqe", {5, 3, 4.236}, {"rsi_ma", "trailing_line"}},
      {"ElderRay", {5}, {"bull_power", "bear_power"}},
      {"GatorOscillator", {13, 8, 5}, {"upper", "lower"}},
  };
  const auto bars = random_walk(60, 2);
  for (const Case& c : cases) {
    auto ind = make(c.key, c.params);
    EXPECT_TRUE(ind->outputs().empty()) << c.key;
    std::size_t valued = 0;
    for (const Candle& bar : bars) {
      const auto v = step(*ind, bar);
      if (!v) continue;
      ++valued;
      const auto outs = ind->outputs();
      ASSERT_EQ(outs.size(), c.names.size()) << c.key;
      for (std::size_t k = 0; k < outs.size(); ++k) EXPECT_EQ(outs[k].name, c.names[k]) << c.key;
      EXPECT_EQ(outs[0].value, *v) << c.key;
    }
    EXPECT_GT(valued, 0u) << c.key;
  }
}

TEST(MomentumARegistry, HugeUncheckedCountsBuildWithoutReservingTheirWindows) {
  family::expect_warmups({
      {"StochRsi", {2, 1e18}, 1000000000000000002},
      {"ConnorsRsi", {2, 2, 1e18}, 1000000000000000001},
      {"Rmi", {1e18, 1e18}, 2000000000000000000},
      {"AwesomeOscillatorHistogram", {2, 3, 1e19}, 10000000000000000003u},
      {"AwesomeOscillatorHistogram", {2, 3, 1.8446744073709552e19}},
  });
  // An unchecked smoothing length only makes the average move very slowly.
  const auto bars = random_walk(50, 4);
  auto vidya = make("Vidya", {1e19, 2});
  for (const Candle& bar : bars) {
    const auto v = step(*vidya, bar);
    if (v) {
      EXPECT_EQ(*v, bars[2].close);
    }
  }
}

}  // namespace
}  // namespace fendro::testing
