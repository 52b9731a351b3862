// Drawdown-based measures: hand-worked windows, episode boundaries, the
// compounded curve of return types, and the run-long RecoveryFactor.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "fendro/indicators/performance/drawdown_ratios.hpp"
#include "indicators/performance/perf_testing.hpp"
#include "indicators/statistics/stats_testing.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing::performance {
namespace {

using statistics::expect_close_values;

TEST(PerfDrawdown, LevelTypesOverHandWorkedWindows) {
  expect_close_values({
      // Peaks 10, 10, 12, 12: drawdowns 0, 0.2, 0, 0.25.
      {"MaxDrawdown", {4}, {10, 8, 12, 9}, 0.25},
      {"PainIndex", {4}, {10, 8, 12, 9}, (0.2 + 0.25) / 4},
      // Only the last four levels count: the 1 has left the window.
      {"MaxDrawdown", {4}, {1, 10, 8, 12, 9}, 0.25},
      {"MaxDrawdown", {3}, {1, 2, 3}, 0.0, 0.0},
      {"PainIndex", {3}, {1, 2, 3}, 0.0, 0.0},
      {"AverageDrawdown", {3}, {1, 2, 3}, 0.0, 0.0},
      // No positive peak: nothing counts.
      {"MaxDrawdown", {3}, {-1, -2, -3}, 0.0, 0.0},
      {"PainIndex", {3}, {-1, -2, -3}, 0.0, 0.0},
      {"AverageDrawdown", {3}, {-1, -2, -3}, 0.0, 0.0},
      // A level equal to the peak ends an episode: two of depth 0.1.
      {"AverageDrawdown", {4}, {10, 9, 10, 9}, 0.1},
      // Closed episode 10 -> 8 (0.2), open one 12 -> 6 (0.5).
      {"AverageDrawdown", {5}, {10, 8, 9, 12, 6}, 0.35},
      // The episode from the peak -1 does not count; 5 -> 4 does.
      {"AverageDrawdown", {4}, {-1, -2, 5, 4}, 0.2},
  });
}

TEST(PerfDrawdown, ReturnTypesCompoundTheCurve) {
  // Curve 1.1, 0.55, 1.1, 0.99: episodes of depth 0.5 (closed by the return
  // to 1.1) and 0.1 (still open); mean return 0.125.
  const std::vector<double> returns = {0.1, -0.5, 1.0, -0.1};
  expect_close_values({
      {"BurkeRatio", {4}, returns, 0.125 / std::sqrt(0.26)},
      {"SterlingRatio", {4}, returns, 0.125 / 0.3},
      {"CalmarRatio", {4}, returns, 0.125 / 0.5},
      // Curve 1.1, 0.55: drawdowns 0% and 50%, U2 = 2500 / 2.
      {"MartinRatio", {2}, {0.1, -0.5}, -0.2 / std::sqrt(1250.0)},
      {"CalmarRatio", {3}, {0.1, -0.5, 0.2}, (-0.2 / 3) / 0.5},
      // Rising curves: no drawdown.
      {"CalmarRatio", {2}, {0.1, 0.1}, 0.0, 0.0},
      {"BurkeRatio", {2}, {0.1, 0.0}, 0.0, 0.0},
      {"SterlingRatio", {2}, {0.1, 0.0}, 0.0, 0.0},
      {"MartinRatio", {2}, {0.1, 0.0}, 0.0, 0.0},
      // The curve starts at 1.0: a first loss already opens an episode.
      {"SterlingRatio", {2}, {-0.5, 0.0}, -0.25 / 0.5},
      // Cumulative 1, 1, 3: slope 1 with residuals 1/3, -2/3, 1/3.
      {"KRatio", {3}, {1, 0, 2}, std::sqrt(3.0)},
      // A straight cumulative line has no residuals.
      {"KRatio", {5}, {0.5, 0.5, 0.5, 0.5, 0.5}, 0.0, 0.0},
  });
}

TEST(PerfDrawdown, CalmarSumFollowsTheWindow) {
  // Long runs drift nothing: the running sum is rebuilt every n pushes, so
  // the value equals that of a fresh object fed only the last window.
  const auto series = return_series(1000, 8);
  auto long_run = make("CalmarRatio", {7});
  std::optional<double> last;
  for (const Candle& c : series) last = step(*long_run, c);
  auto fresh = make("CalmarRatio", {7});
  std::optional<double> want;
  for (std::size_t i = series.size() - 7; i < series.size(); ++i) want = step(*fresh, series[i]);
  ASSERT_TRUE(last && want);
  EXPECT_NEAR(*last, *want, 1e-12 * std::abs(*want));
}

TEST(PerfDrawdown, RecoveryFactorKeepsItsFirstClose) {
  check_close_cases({
      {"RecoveryFactor", {}, {100, 90, 99}, {0.0, (0.9 - 1.0) / 0.1, (0.99 - 1.0) / 0.1}},
      {"RecoveryFactor", {}, {100, 110, 120}, {0.0, 0.0, 0.0}},
      // The drawdown of the whole run stays, however far the run goes on.
      {"RecoveryFactor", {}, {100, 50, 200, 200, 200}, {0.0, -1.0, 2.0, 2.0, 2.0}},
      // A first close of 0 means no value for the whole run.
      {"RecoveryFactor", {}, {0, 5, 3}, {kNone, kNone, kNone}},
      // Below-zero peaks give no drawdown; any parameter list builds.
      {"RecoveryFactor", {-1.5, 1e300}, {-2, -4, -1}, {0.0, 0.0, 0.0}},
  }, 1e-12);
}

}  // namespace
}  // namespace fendro::testing::performance
