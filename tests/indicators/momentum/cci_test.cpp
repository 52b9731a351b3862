#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "indicators/momentum/oscillator_testing.hpp"

namespace fendro::testing {
namespace {

using namespace osc;

const std::vector<Candle> kWalk = random_walk(1500, 41);

// The usual CCI: (tp - SMA(tp)) / (0.015 * mean |tp - SMA(tp)|) over the
// last n typical prices; 0 on a flat window.
Values cci_ref(const std::vector<Candle>& cs, std::size_t n) {
  std::vector<double> tp;
  Values out(cs.size());
  for (std::size_t i = 0; i < cs.size(); ++i) {
    tp.push_back((cs[i].high + cs[i].low + cs[i].close) / 3.0);
    if (tp.size() < n) continue;
    double mean = 0.0;
    for (std::size_t k = tp.size() - n; k < tp.size(); ++k) mean += tp[k] / double(n);
    double md = 0.0;
    for (std::size_t k = tp.size() - n; k < tp.size(); ++k) md += std::abs(tp[k] - mean);
    md /= double(n);
    out[i] = md == 0.0 ? 0.0 : (tp.back() - mean) / (0.015 * md);
  }
  return out;
}

TEST(Cci, HandWorkedAndFlatWindows) {
  const std::vector<CloseCase> cases = {
      // Mean 2, mean deviation 2/3: 1 / (2/3 * 0.015) rounds to just above 100.
      {"Cci", {3}, {1, 2, 3}, {kNone, kNone, 100.00000000000001}},
      {"Cci", {3}, {2, 2, 2, 2}, {kNone, kNone, 0.0, 0.0}},
      {"StochasticCci", {2}, {5, 5, 5, 5}, {kNone, kNone, 50.0, 50.0}},
      {"AdaptiveCci", {2}, {4, 4, 4}, {kNone, 0.0, 0.0}},
  };
  check_close_cases(cases);
  // Exact, not merely within a few ulps.
  const Values got = run_closes("Cci", {3}, {1, 2, 3});
  EXPECT_EQ(*got[2], 100.00000000000001);
}

TEST(Cci, MatchesTheTextbookLoop) {
  for (std::size_t n : {2u, 3u, 14u, 20u, 100u}) {
    expect_close_to(run_key("Cci", {double(n)}, kWalk), cci_ref(kWalk, n), 1e-8,
                    "Cci " + std::to_string(n));
  }
}

TEST(Cci, StochasticOfTheIndex) {
  const std::size_t n = 14;
  const Values cci = cci_ref(kWalk, n);
  Values want(cci.size());
  std::vector<double> seen;
  for (std::size_t i = 0; i < cci.size(); ++i) {
    if (!cci[i]) continue;
    seen.push_back(*cci[i]);
    if (seen.size() < n) continue;
    const auto first = seen.end() - static_cast<std::ptrdiff_t>(n);
    const double hi = *std::max_element(first, seen.end());
    const double lo = *std::min_element(first, seen.end());
    want[i] = (*cci[i] - lo) / (hi - lo) * 100.0;
  }
  expect_close_to(run_key("StochasticCci", {double(n)}, kWalk), want, 1e-8, "StochasticCci");
}

TEST(Cci, AdaptiveCentreStartsAtThePlainMean) {
  for (std::size_t n : {2u, 5u, 20u}) {
    const Values adaptive = run_key("AdaptiveCci", {double(n)}, kWalk);
    const Values plain = run_key("Cci", {double(n)}, kWalk);
    ASSERT_TRUE(adaptive[n - 1].has_value());
    EXPECT_DOUBLE_EQ(*adaptive[n - 1], *plain[n - 1]) << n;
    // Then the centre lags the window mean, so the values part.
    EXPECT_NE(adaptive[n + 50], plain[n + 50]) << n;
  }
}

TEST(Cci, AdaptiveCentreFollowsTheEfficiencyRatio) {
  // Period 2 over typical prices 0, 3, then 6: the window travelled
  // straight (ratio 1), so the factor is (2/3)^2 and the centre moves from
  // 1.5 to 1.5 + 4/9 * 4.5 = 3.5; deviations 0.5 and 2.5 average 1.5.
  const Values got = run_closes("AdaptiveCci", {2}, {0, 3, 6});
  ASSERT_TRUE(got[2].has_value());
  EXPECT_NEAR(*got[2], (6.0 - 3.5) / (1.5 * 0.015), 1e-9);
}

}  // namespace
}  // namespace fendro::testing
