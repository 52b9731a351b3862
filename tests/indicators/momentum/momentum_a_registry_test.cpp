#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "fendro/registry/families.hpp"
#include "indicators/family_checks.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing {
namespace {

constexpr double kTiny = 1e-20;  // read as a count of 0
constexpr double kOver = 16777217;
constexpr double kHuge = 1e15;  // a count no window may reserve up front
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const std::string kMax =
    "invalid period: period exceeds the maximum supported window length (see MAX_PERIOD)";
const std::string kZero = "period must be greater than zero";
const std::string kAo = "invalid period: AO fast period must be strictly less than slow";

using family::build_message;

TEST(MomentumARegistry, ConstructionChecksInTheirOrder) {
  struct Case {
    const char* key;
    std::vector<double> params;
    std::string reason;  // empty: built
  };
  const Case cases[] = {
      {"Rsi", {kTiny}, kZero},
      {"Rsi", {kOver}, kMax},
      {"Rsi", {16777216}, ""},
      {"Rsi", {}, "missing parameter #0"},
      {"FisherRsi", {kOver}, kMax},
      {"StochRsi", {kOver, kTiny}, kZero},
      {"StochRsi", {kOver, 5}, kMax},
      {"StochRsi", {14, kHuge}, ""},  // no upper check on the stochastic length
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
      {"ConnorsRsi", {3, 2, kHuge}, ""},
      {"Rmi", {kTiny, 1}, kZero},
      {"Rmi", {5, kTiny}, kZero},
      {"Rmi", {kHuge, kHuge}, ""},
      {"AdaptiveRsi", {kOver}, kMax},
      {"Rsx", {kTiny}, kZero},
      {"Rsx", {kOver}, kMax},
      {"Rsx", {16777216}, ""},
      {"AnchoredRsi", {}, ""},
      {"AnchoredRsi", {kNaN, -1}, ""},
      {"LaguerreRsi", {0}, ""},
      {"LaguerreRsi", {1}, ""},
      {"LaguerreRsi", {-0.1}, "invalid period: LaguerreRSI gamma must be a finite value in [0, 1]"},
      {"LaguerreRsi", {1.1}, "invalid period: LaguerreRSI gamma must be a finite value in [0, 1]"},
      {"LaguerreRsi", {kNaN}, "parameter #0 must be finite"},
      {"Cmo", {kOver}, kMax},
      {"Vidya", {kTiny, kOver}, kZero},
      {"Vidya", {kHuge, 5}, ""},  // no upper check on the smoothing length
      {"Vidya", {5, kOver}, kMax},
      {"DynamicMomentumIndex", {kOver}, kMax},
      {"IntradayMomentumIndex", {kTiny}, kZero},
      {"Roc", {kTiny}, kZero},
      {"Rocp", {kOver}, kMax},
      {"Rocr", {kOver}, kMax},
      {"Rocr100", {16777216}, ""},
      {"Mom", {0.5}, "parameter #0 must be a positive integer, got 0.5"},
      {"Cfo", {kTiny}, kZero},
      {"Cfo", {kOver}, kMax},
      {"Cfo", {1}, "invalid period: linear regression needs period >= 2"},
      {"Cfo", {2}, ""},
      {"Dpo", {kOver}, kMax},
      {"DisparityIndex", {kOver}, kMax},
      {"FisherTransform", {kTiny}, kZero},
      {"InverseFisherTransform", {0}, "invalid period: scale must be a positive finite number"},
      {"InverseFisherTransform", {-0.0}, "invalid period: scale must be a positive finite number"},
      {"InverseFisherTransform", {-1}, "invalid period: scale must be a positive finite number"},
      {"InverseFisherTransform", {5e-324}, ""},
      {"InverseFisherTransform", {INFINITY}, "parameter #0 must be finite"},
      {"AwesomeOscillator", {5, 5}, kAo},
      {"AwesomeOscillator", {34, 5}, kAo},
      {"AwesomeOscillator", {kTiny, 5}, kZero},
      {"AwesomeOscillator", {kOver, 16777218}, kMax},
      {"AwesomeOscillator", {5, kOver}, kMax},
      {"AwesomeOscillatorHistogram", {5, 5, 1},
       "invalid period: AwesomeOscillatorHistogram fast must be strictly less than slow"},
      {"AwesomeOscillatorHistogram", {5, 5, kTiny}, kZero},
      {"AwesomeOscillatorHistogram", {5, kOver, 1}, kMax},
      {"AwesomeOscillatorHistogram", {5, 34, kHuge}, ""},  // no upper check on the lag
      {"AcceleratorOscillator", {5, 5, kTiny}, kAo},
      {"AcceleratorOscillator", {5, 34, kTiny}, kZero},
      {"AcceleratorOscillator", {5, 34, kOver}, kMax},
      {"ElderRay", {kOver}, kMax},
      {"GatorOscillator", {kOver, kOver, kTiny}, kZero},
      {"GatorOscillator", {13, kOver, 5}, kMax},
      {"GatorOscillator", {5, 8, 13}, ""},  // the lengths need no order
      {"BalanceOfPower", {}, ""},
      {"Qstick", {kOver}, kMax},
  };
  for (const Case& c : cases) {
    const std::string want = c.reason.empty() ? ""
                                              : "invalid parameters for indicator " +
                                                    std::string(c.key) + ": " + c.reason;
    EXPECT_EQ(build_message(c.key, c.params), want) << c.key;
  }
}

TEST(MomentumARegistry, FirstValueOnTheWarmUpBarThenEveryBar) {
  family::expect_warmup(registry::momentum_entries());
}

TEST(MomentumARegistry, RejectedBarsChangeNothing) {
  family::expect_rejected_bars_ignored(registry::momentum_entries());
}

TEST(MomentumARegistry, LongRandomWalkGivesOnlyFiniteValues) {
  const auto bars = random_walk(10000, 11);
  for (const registry::Entry& b : registry::momentum_entries()) {
    auto ind = family::build(b);
    std::size_t valued = 0;
    for (const Candle& c : bars) {
      const auto v = step(*ind, c);
      if (!v) continue;
      ++valued;
      ASSERT_TRUE(std::isfinite(*v)) << b.key;
      for (const NamedOutput& o : ind->outputs()) ASSERT_TRUE(std::isfinite(o.value)) << b.key;
    }
    EXPECT_EQ(valued, bars.size() + 1 - ind->warmup_period()) << b.key;
  }
}

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
    for (const Candle& bar : bars) {
      const auto v = step(*ind, bar);
      if (!v) {
        continue;
      }
      const auto outs = ind->outputs();
      ASSERT_EQ(outs.size(), c.names.size()) << c.key;
      for (std::size_t k = 0; k < outs.size(); ++k) EXPECT_EQ(outs[k].name, c.names[k]) << c.key;
      EXPECT_EQ(outs[0].value, *v) << c.key;
    }
  }
}

TEST(MomentumARegistry, HugeUncheckedCountsBuildWithoutReservingTheirWindows) {
  // Each of these counts has no upper check; the window grows only with the
  // bars seen, so the build succeeds and the indicator simply never fills.
  const struct {
    const char* key;
    std::vector<double> params;
  } cases[] = {
      {"StochRsi", {2, 1e18}},
      {"ConnorsRsi", {2, 2, 1e18}},
      {"Rmi", {1e18, 1e18}},
      {"AwesomeOscillatorHistogram", {2, 3, 1e19}},
  };
  const auto bars = random_walk(50, 4);
  for (const auto& c : cases) {
    auto ind = make(c.key, c.params);
    ASSERT_TRUE(ind) << c.key;
    EXPECT_GT(ind->warmup_period(), 1000u) << c.key;
    for (const Candle& bar : bars) EXPECT_FALSE(step(*ind, bar).has_value()) << c.key;
  }
  // An unchecked smoothing length only makes the average move very slowly.
  auto vidya = make("Vidya", {1e19, 2});
  for (const Candle& bar : bars) {
    const auto v = step(*vidya, bar);
    if (v) {
      EXPECT_EQ(*v, bars[2].close);
    }
  }
  EXPECT_EQ(make("AwesomeOscillatorHistogram", {2, 3, 1.8446744073709552e19})->warmup_period(),
            std::numeric_limits<std::uint64_t>::max());
}

}  // namespace
}  // namespace fendro::testing
