#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "fendro/util/math.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing {
namespace {

const std::vector<double> kWalk = closes_of(random_walk(800, 51));

TEST(RateOfChange, LagFamilyMatchesTheTextbookFormulas) {
  const std::size_t n = 10;
  Values roc(kWalk.size()), ratio(kWalk.size()), mom(kWalk.size());
  for (std::size_t i = n; i < kWalk.size(); ++i) {
    roc[i] = 100.0 * (kWalk[i] - kWalk[i - n]) / kWalk[i - n];
    ratio[i] = kWalk[i] / kWalk[i - n];
    mom[i] = kWalk[i] - kWalk[i - n];
  }
  expect_near_values(run_closes("Roc", {double(n)}, kWalk), roc, 1e-12, "Roc");
  expect_near_values(run_closes("Rocr", {double(n)}, kWalk), ratio, 1e-15, "Rocr");
  expect_values(run_closes("Mom", {double(n)}, kWalk), mom, "Mom");
}

TEST(Detrended, CfoAgainstAFreshLeastSquaresFit) {
  const std::size_t n = 14;
  Values want(kWalk.size());
  for (std::size_t i = n - 1; i < kWalk.size(); ++i) {
    double mx = 0.0, my = 0.0;
    for (std::size_t k = 0; k < n; ++k) mx += double(k) / n, my += kWalk[i + 1 - n + k] / n;
    double sxy = 0.0, sxx = 0.0;
    for (std::size_t k = 0; k < n; ++k) {
      sxy += (double(k) - mx) * (kWalk[i + 1 - n + k] - my);
      sxx += (double(k) - mx) * (double(k) - mx);
    }
    const double f = my + (sxy / sxx) * (double(n - 1) - mx);
    want[i] = 100.0 * (kWalk[i] - f) / kWalk[i];
  }
  expect_near_values(run_closes("Cfo", {double(n)}, kWalk), want, 1e-9, "Cfo");
}

TEST(Detrended, HandValues) {
  // Cfo over 3 closes: 1, 2, 4 fits 5/6 + 1.5 x (23/6 at the newest bar);
  // 4, 0, 3 fits 17/6 - 0.5 x (11/6).
  const double cfo3 = (4.0 - 23.0 / 6.0) * 100.0 / 4.0;
  check_close_cases({
      {"Cfo", {3}, {1, 2, 4, 0, 3}, {kNone, kNone, cfo3, cfo3, (3.0 - 11.0 / 6.0) * 100.0 / 3.0}},
      // A zero close before any value gives nothing; 2, 0, 5 fits 5/6 + 1.5 x.
      {"Cfo", {3}, {1, 2, 0, 5}, {kNone, kNone, kNone, (5.0 - 23.0 / 6.0) * 100.0 / 5.0}},
      // Period 1: the previous close less the current one, from bar 2.
      {"Dpo", {1}, {5, 7, 4}, {kNone, -2.0, 3.0}},
      // Period 2: the close 2 bars back less the mean of the newest 2.
      {"Dpo", {2}, {1, 2, 4, 8}, {kNone, kNone, -2.0, -4.0}},
      {"DisparityIndex", {2}, {-1, 1, 3}, {kNone, 0.0, 50.0}},
      {"InverseFisherTransform", {0.5}, {-1000, 0, 2}, {-1.0, 0.0, cr::tanh(1.0)}},
  }, 1e-12);
}

TEST(Detrended, DpoMatchesTheShiftedMean) {
  for (std::size_t n : {3u, 20u, 21u}) {
    const std::size_t s = n / 2 + 1;
    Values want(kWalk.size());
    for (std::size_t i = n - 1; i < kWalk.size(); ++i) {
      double mean = 0.0;
      for (std::size_t k = i + 1 - n; k <= i; ++k) mean += kWalk[k];
      want[i] = kWalk[i - s] - mean / double(n);
    }
    expect_near_values(run_closes("Dpo", {double(n)}, kWalk), want, 1e-9,
                       "Dpo " + std::to_string(n));
  }
}

TEST(FisherTransform, SmoothsThePositionAndHalvesOverAFlatWindow) {
  const Values got = run_closes("FisherTransform", {2}, {1, 2, 2, 2, 2});
  // Bar 2: position 1 -> x = 0.33. Then the window is flat: raw 0, x shrinks
  // by 0.67 a bar and the value takes half of the previous one.
  double x = 0.33;
  double v = 0.5 * cr::log((1.0 + x) / (1.0 - x));
  Values want = {kNone, v};
  for (int i = 0; i < 3; ++i) {
    x = x * 0.67;
    v = 0.5 * cr::log((1.0 + x) / (1.0 - x)) + 0.5 * v;
    want.push_back(v);
  }
  expect_near_values(got, want, 1e-15, "FisherTransform");
  // All flat from the start: exactly 0.
  expect_values(run_closes("FisherTransform", {3}, {4, 4, 4, 4}), {kNone, kNone, 0.0, 0.0}, "flat");
}

}  // namespace
}  // namespace fendro::testing
