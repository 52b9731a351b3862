// Every performance key through the registry: parameter and constructor
// checks in their order, the family table, warm-ups, rejected bars and long
// runs over a series of returns (benchmark-relative keys stepped with a
// reference value).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "fendro/registry/families.hpp"
#include "indicators/family_checks.hpp"
#include "indicators/performance/perf_testing.hpp"
#include "indicators/two_series.hpp"

namespace fendro::testing::performance {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

const std::vector<TwoSeriesKey>& perf_keys() {
  static const std::vector<TwoSeriesKey> keys = two_series_keys(registry::performance_entries());
  return keys;
}

TEST(PerfRegistry, ChecksRunInTheirOrder) {
  family::expect_period_checks({"MaxDrawdown", "AverageDrawdown", "PainIndex", "KellyCriterion",
                                "WinRate", "ProfitFactor", "GainLossRatio", "Expectancy",
                                "GainToPainRatio"});
  const std::string p = "invalid period: ";
  const std::string conf = p + "confidence must lie strictly between 0 and 1";
  const std::string m2 =
      "invalid parameter: risk_free must be finite and benchmark_stddev finite and non-negative";
  family::expect_build_reasons({
      // Plain order: zero, then the maximum.
      {"MaxDrawdown", {1}, ""},
      {"OmegaRatio", {kTiny, 0}, kZero},
      {"OmegaRatio", {kOver, 0}, kMax},
      {"OmegaRatio", {5}, "missing parameter #1"},
      // Minimum first: a period read as 0 gets the type's own message.
      {"CalmarRatio", {kTiny}, p + "calmar ratio needs period >= 2"},
      {"CalmarRatio", {kOver}, kMax},
      {"BurkeRatio", {1}, p + "burke ratio needs period >= 2"},
      {"SterlingRatio", {1}, p + "sterling ratio needs period >= 2"},
      {"MartinRatio", {1}, p + "martin ratio needs period >= 2"},
      {"MartinRatio", {kOver}, kMax},
      {"KRatio", {2}, p + "k-ratio needs period >= 3"},
      {"KRatio", {3}, ""},
      {"TailRatio", {1}, p + "tail ratio needs period >= 2"},
      {"CommonSenseRatio", {kTiny}, p + "common sense ratio needs period >= 2"},
      {"CommonSenseRatio", {kOver}, kMax},
      {"SharpeRatio", {1, 0}, p + "sharpe ratio needs period >= 2"},
      {"SharpeRatio", {2, kInf}, "parameter #1 must be finite"},
      {"SharpeRatio", {kOver, 0}, kMax},
      {"SortinoRatio", {1, 0}, p + "sortino ratio needs period >= 2"},
      {"SortinoRatio", {2}, "missing parameter #1"},
      {"UpsidePotentialRatio", {1, 0}, p + "upside potential ratio needs period >= 2"},
      {"UpsidePotentialRatio", {kOver, 0}, kMax},
      {"M2Measure", {1, 0, -1}, p + "m2 measure needs period >= 2"},
      {"M2Measure", {kOver, 0, -1}, kMax},
      {"M2Measure", {5, 0, -1}, m2},
      {"M2Measure", {5, 0, -0.0}, ""},
      {"M2Measure", {5, 0}, "missing parameter #2"},
      {"ValueAtRisk", {1, 0.95}, p + "value-at-risk needs period >= 2"},
      {"ValueAtRisk", {kOver, 2}, kMax},
      {"ValueAtRisk", {5, 0}, conf},
      {"ValueAtRisk", {5, 1}, conf},
      {"ValueAtRisk", {5, kInf}, "parameter #1 must be finite"},
      {"ValueAtRisk", {5, 0.999999}, ""},
      {"ConditionalValueAtRisk", {kTiny, 0.95}, p + "conditional value-at-risk needs period >= 2"},
      {"ConditionalValueAtRisk", {5, -0.5}, conf},
      {"ConditionalValueAtRisk", {5, 1e-300}, ""},
      {"InformationRatio", {1}, p + "information ratio needs period >= 2"},
      {"InformationRatio", {kOver}, kMax},
      {"TreynorRatio", {1, 0}, p + "treynor ratio needs period >= 2"},
      {"TreynorRatio", {kOver, 0}, kMax},
      {"RecoveryFactor", {}, ""},
  });
}

TEST(PerfRegistry, FamilyChecks) {
  const auto keys = close_only(registry::performance_entries(), perf_keys());
  family::expect_warmup(keys);
  family::expect_rejected_bars_ignored(keys);
  family::expect_named_outputs(keys, {});
  expect_two_series_rules(two_series_only(perf_keys()), 10000);
}

TEST(PerfRegistry, LongRunsOverReturnsStayFinite) {
  const auto returns = return_series(10000, 11);
  for (const registry::Entry& k : close_only(registry::performance_entries(), perf_keys())) {
    auto ind = family::build(k);
    std::size_t values = 0;
    for (std::size_t i = 0; i < returns.size(); ++i) {
      const auto v = step(*ind, returns[i]);
      if (!v) continue;
      ++values;
      ASSERT_TRUE(std::isfinite(*v)) << k.key << " bar " << i + 1;
    }
    EXPECT_GT(values, returns.size() - 100) << k.key;
  }
}

}  // namespace
}  // namespace fendro::testing::performance
