#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "indicators/testing.hpp"

namespace fendro::testing {
namespace {

// Relative momentum index as usually written: moves against the close
// `lookback` bars back, Wilder averages with a plain division. With lookback
// 1 it is the textbook RSI.
Values textbook_rmi(const std::vector<double>& x, std::size_t n, std::size_t lookback) {
  Values out(x.size());
  double ag = 0.0, al = 0.0;
  std::size_t moves = 0;
  for (std::size_t i = lookback; i < x.size(); ++i) {
    const double ch = x[i] - x[i - lookback];
    const double g = std::max(ch, 0.0), l = std::max(-ch, 0.0);
    if (++moves <= n) {
      ag += g / static_cast<double>(n);
      al += l / static_cast<double>(n);
      if (moves < n) continue;
    } else {
      ag = (ag * static_cast<double>(n - 1) + g) / static_cast<double>(n);
      al = (al * static_cast<double>(n - 1) + l) / static_cast<double>(n);
    }
    out[i] = al == 0.0 ? 100.0 : 100.0 - 100.0 / (1.0 + ag / al);
  }
  return out;
}

const std::vector<double> kWalk = closes_of(random_walk(1200, 31));

TEST(RsiVariants, RmiMatchesTheTextbookLoop) {
  for (const auto& [n, lb] : {std::pair{14, 1}, std::pair{14, 5}, std::pair{3, 20}}) {
    expect_near_values(run_closes("Rmi", {double(n), double(lb)}, kWalk),
                       textbook_rmi(kWalk, n, lb), 1e-9,
                       "Rmi " + std::to_string(n) + "/" + std::to_string(lb));
  }
}

TEST(RsiVariants, HandValues) {
  check_close_cases({
      // Moves over 2 bars: +3, +1 (seed), then -3: gain (0 + 2) / 2, loss 3 / 2.
      {"Rmi", {2, 2}, {1, 2, 4, 3, 1}, {kNone, kNone, kNone, 100.0, 40.0}},
      {"AnchoredRsi", {}, {1, 3, 2}, {kNone, 100.0, 100.0 - 100.0 / (2.0 + 1.0)}},
      {"AnchoredRsi", {}, {5, 4, 3, 3}, {kNone, 0.0, 0.0, 0.0}},
      {"AnchoredRsi", {}, {5, 5, 5}, {kNone, 50.0, 50.0}},
      {"AnchoredRsi", {}, {1, 2, 3}, {kNone, 100.0, 100.0}},
      // Gamma 0: the four elements are the last four closes.
      {"LaguerreRsi", {0}, {1, 2, 1}, {50.0, 100.0, 50.0}},
      {"LaguerreRsi", {0}, {1, 2, 3, 4}, {50.0, 100.0, 100.0, 100.0}},
      {"LaguerreRsi", {0}, {4, 3, 2, 1}, {50.0, 0.0, 0.0, 0.0}},
      // Gamma 1 freezes the filter: nothing ever moves.
      {"LaguerreRsi", {1}, {1, 5, 2}, {50.0, 50.0, 50.0}},
      // Gamma 0.5 from 10 to 12: elements 11, 9.5 (from the old first
      // element), 10.25, 9.875 -> up 1.5 + 0.375, down 0.75.
      {"LaguerreRsi", {0.5}, {10, 12}, {50.0, 187.5 / 2.625}},
  });
}

TEST(RsiVariants, AdaptiveRsiDecaysSlowlyOverAStillWindow) {
  // Period 2. Seed: moves -2, +1 -> gain 0.5, loss 1. Bar 4 is flat but the
  // window still saw a move (efficiency 1); bars 5 and 6 see no movement at
  // all and use the slowest constant; bar 7 rises 2 with efficiency 1.
  const double fast = (0.6021505376344085 + 0.06451612903225806) *
                      (0.6021505376344085 + 0.06451612903225806);
  const double slow = 0.004162330905306971;
  double ag = 0.5, al = 1.0;
  ag = ag + (0.0 - ag) * fast;
  al = al + (0.0 - al) * fast;
  for (int i = 0; i < 2; ++i) {
    ag = ag + (0.0 - ag) * slow;
    al = al + (0.0 - al) * slow;
  }
  ag = ag + (2.0 - ag) * fast;
  al = al + (0.0 - al) * fast;
  const Values got = run_closes("AdaptiveRsi", {2}, {10, 8, 9, 9, 9, 9, 11});
  const double third = 100.0 / 3.0;
  expect_values(got, {kNone, kNone, third, third, third, third, (ag / (ag + al)) * 100.0},
                "AdaptiveRsi");
  // Without the slow decay over the still bars the last value differs.
  double fg = 0.5 * (1.0 - fast), fl = 1.0 * (1.0 - fast);
  fg = fg + (2.0 - fg) * fast;
  fl = fl + (0.0 - fl) * fast;
  EXPECT_NE(*got[6], (fg / (fg + fl)) * 100.0);
}

TEST(RsiVariants, RsxOnFlatRisingAndFallingCloses) {
  struct Case {
    double step;
    double want;
  };
  for (const Case& c : {Case{0.0, 50.0}, Case{0.25, 100.0}, Case{-0.25, 0.0}}) {
    std::vector<double> closes;
    for (int i = 0; i < 30; ++i) closes.push_back(50.0 + c.step * i);
    const Values got = run_closes("Rsx", {5}, closes);
    for (std::size_t i = 0; i < got.size(); ++i) {
      ASSERT_EQ(got[i].has_value(), i >= 5) << "bar " << i + 1;
      if (got[i]) {
        EXPECT_DOUBLE_EQ(*got[i], c.want) << c.step;
      }
    }
  }
}

// RSX as a cascade of double-smoothing stages, factor 3 / (period + 2): the
// smoothed change over the smoothed absolute change, mapped to [0, 100];
// from the period-th change on.
TEST(RsiVariants, RsxMatchesTheSmoothingCascade) {
  for (const std::size_t n : {std::size_t{5}, std::size_t{14}}) {
    const double a = 3.0 / (static_cast<double>(n) + 2.0);
    const auto smooth = [a](double& stage, double in) { stage = (1 - a) * stage + a * in; };
    double s[6] = {}, u[6] = {};
    Values want(kWalk.size());
    for (std::size_t i = 1; i < kWalk.size(); ++i) {
      const double m = kWalk[i] - kWalk[i - 1];
      smooth(s[0], m);
      smooth(s[1], s[0]);
      smooth(s[2], 1.5 * s[0] - 0.5 * s[1]);
      smooth(s[3], s[2]);
      smooth(s[4], 1.5 * s[2] - 0.5 * s[3]);
      smooth(s[5], s[4]);
      smooth(u[0], std::fabs(m));
      smooth(u[1], u[0]);
      smooth(u[2], 1.5 * u[0] - 0.5 * u[1]);
      smooth(u[3], u[2]);
      smooth(u[4], 1.5 * u[2] - 0.5 * u[3]);
      smooth(u[5], u[4]);
      const double w = 1.5 * u[4] - 0.5 * u[5];
      const double v = w > 0 ? std::clamp(((1.5 * s[4] - 0.5 * s[5]) / w + 1) * 50, 0.0, 100.0) : 50.0;
      if (i >= n) want[i] = v;
    }
    expect_near_values(run_closes("Rsx", {double(n)}, kWalk), want, 1e-8, "Rsx " + std::to_string(n));
  }
}

}  // namespace
}  // namespace fendro::testing
