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

TEST(Cci, RunningSumIsRebuiltEveryPeriodPushes) {
  // The 1 pushed next to 1e16 is lost to rounding; the sum carries that loss
  // until the second push after the rebuild, so the window 1, 3 is first
  // seen about a mean of 1.5 (mean deviation 1) and only then about 2.
  const Values got = run_closes("Cci", {2}, {1e16, 1, 3, 1});
  ASSERT_TRUE(got[2].has_value() && got[3].has_value());
  EXPECT_DOUBLE_EQ(*got[2], 1.5 / (1.0 * 0.015));
  EXPECT_DOUBLE_EQ(*got[3], -1.0 / (1.0 * 0.015));
}

// A window of copies of one price is flat whatever residue the sum holds:
// the window 1, 1 after 1e16, and one-price candles at prices whose copies
// do not sum exactly.
TEST(Cci, WindowOfCopiesReadsTheFlatCase) {
  const Values after_loss = run_closes("Cci", {2}, {1e16, 1, 1, 1});
  ASSERT_TRUE(after_loss[2].has_value() && after_loss[3].has_value());
  EXPECT_EQ(*after_loss[2], 0.0);
  EXPECT_EQ(*after_loss[3], 0.0);
  for (const double p : {0.3, 7.77, 123.456, 30000.17, 0.00103}) {
    const Values flat = run_closes("Cci", {20}, std::vector<double>(25, p));
    for (std::size_t i = 19; i < flat.size(); ++i) EXPECT_EQ(flat[i], 0.0) << p << ", bar " << i;
  }
}

TEST(Cci, MatchesTheTextbookLoop) {
  for (std::size_t n : {2u, 3u, 14u, 20u, 100u}) {
    expect_close_to(key_values("Cci", {double(n)}, kWalk), cci_ref(kWalk, n), 1e-8,
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
  expect_close_to(key_values("StochasticCci", {double(n)}, kWalk), want, 1e-8, "StochasticCci");
}

TEST(Cci, AdaptiveCentreStartsAtThePlainMean) {
  for (std::size_t n : {2u, 5u, 20u}) {
    const Values adaptive = key_values("AdaptiveCci", {double(n)}, kWalk);
    const Values plain = key_values("Cci", {double(n)}, kWalk);
    ASSERT_TRUE(adaptive[n - 1].has_value());
    EXPECT_DOUBLE_EQ(*adaptive[n - 1], *plain[n - 1]) << n;
    // Then the centre lags the window mean, so the values part.
    EXPECT_NE(adaptive[n + 50], plain[n + 50]) << n;
  }
}

TEST(Cci, AdaptiveCentreMatchesTheEfficiencyRatioLoop) {
  // Kaufman's ratio over the window (net travel / path length) picks a
  // factor between 2/31 and 2/3, squared.
  const std::size_t n = 10;
  std::vector<double> tp;
  std::optional<double> centre;
  Values want(kWalk.size());
  for (std::size_t i = 0; i < kWalk.size(); ++i) {
    tp.push_back((kWalk[i].high + kWalk[i].low + kWalk[i].close) / 3.0);
    if (tp.size() < n) continue;
    const std::size_t first = tp.size() - n;
    if (!centre) {
      centre = 0.0;
      for (std::size_t k = first; k < tp.size(); ++k) *centre += tp[k] / double(n);
    } else {
      double path = 0.0;
      for (std::size_t k = first + 1; k < tp.size(); ++k) path += std::abs(tp[k] - tp[k - 1]);
      const double er = std::min(std::abs(tp.back() - tp[first]) / path, 1.0);
      const double sc = er * (2.0 / 3.0 - 2.0 / 31.0) + 2.0 / 31.0;
      *centre += sc * sc * (tp.back() - *centre);
    }
    double md = 0.0;
    for (std::size_t k = first; k < tp.size(); ++k) md += std::abs(tp[k] - *centre) / double(n);
    want[i] = (tp.back() - *centre) / (0.015 * md);
  }
  expect_close_to(key_values("AdaptiveCci", {double(n)}, kWalk), want, 1e-8, "AdaptiveCci");
}

}  // namespace
}  // namespace fendro::testing
