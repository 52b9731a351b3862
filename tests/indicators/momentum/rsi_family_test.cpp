#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "fendro/util/math.hpp"
#include "indicators/momentum/oscillator_testing.hpp"

namespace fendro::testing {
namespace {

// Wilder's RSI as usually written: mean gain and loss of the first n moves,
// then avg = (avg * (n - 1) + move) / n and RSI = 100 - 100 / (1 + gain / loss).
// Ours rounds the smoothing once (fused) and scales by a stored 1 / n, and
// forms 100 * gain / (gain + loss): equal within rounding.
Values textbook_rsi(const std::vector<double>& x, std::size_t n) {
  Values out(x.size());
  double ag = 0.0, al = 0.0;
  for (std::size_t i = 1; i < x.size(); ++i) {
    const double ch = x[i] - x[i - 1];
    const double g = std::max(ch, 0.0), l = std::max(-ch, 0.0);
    if (i <= n) {
      ag += g / static_cast<double>(n);
      al += l / static_cast<double>(n);
      if (i < n) continue;
    } else {
      ag = (ag * static_cast<double>(n - 1) + g) / static_cast<double>(n);
      al = (al * static_cast<double>(n - 1) + l) / static_cast<double>(n);
    }
    out[i] = al == 0.0 ? 100.0 : 100.0 - 100.0 / (1.0 + ag / al);
  }
  return out;
}

const std::vector<double> kWalk = closes_of(random_walk(1500, 21));

TEST(RsiFamily, WilderRsiMatchesTheTextbookLoop) {
  for (std::size_t n : {1u, 2u, 14u, 50u}) {
    expect_near_values(run_closes("Rsi", {double(n)}, kWalk), textbook_rsi(kWalk, n), 1e-9,
                       "Rsi " + std::to_string(n));
  }
}

TEST(RsiFamily, HandValues) {
  const double rising_fisher = 0.5 * cr::log((1.0 + 0.999) / (1.0 - 0.999));
  check_close_cases({
      {"Rsi", {2}, {1, 2, 3, 2, 4}, {kNone, kNone, 100.0, 50.0, 125.0 / 1.5}},
      // Period 1: every move decides alone.
      {"Rsi", {1}, {5, 6, 4, 4}, {kNone, 100.0, 0.0, 50.0}},
      {"FisherRsi", {2}, {1, 2, 3, 4}, {kNone, kNone, rising_fisher, rising_fisher}},
      {"FisherRsi", {2}, {1, 2, 3, 2}, {kNone, kNone, rising_fisher, 0.0}},
      // RSI(1): 100, 100, 0, 50 from bar 2; window of 2: hi/lo of the pair.
      {"StochRsi", {1, 2}, {1, 2, 3, 2, 2}, {kNone, kNone, 50.0, 0.0, 100.0}},
  });
}

TEST(RsiFamily, StochasticFisherAndDerivativeFollowTheirDefinitions) {
  const Values rsi = textbook_rsi(kWalk, 14);
  Values stoch(kWalk.size()), fisher(kWalk.size());
  std::vector<double> seen;
  for (std::size_t i = 0; i < rsi.size(); ++i) {
    if (!rsi[i]) continue;
    const double x = std::clamp((*rsi[i] - 50.0) / 50.0, -0.999, 0.999);
    fisher[i] = 0.5 * cr::log((1.0 + x) / (1.0 - x));
    seen.push_back(*rsi[i]);
    if (seen.size() < 10) continue;
    const auto [lo, hi] = std::minmax_element(seen.end() - 10, seen.end());
    stoch[i] = *hi == *lo ? 50.0 : 100.0 * (seen.back() - *lo) / (*hi - *lo);
  }
  expect_near_values(run_closes("StochRsi", {14, 10}, kWalk), stoch, 1e-7, "StochRsi");
  expect_near_values(run_closes("FisherRsi", {14}, kWalk), fisher, 1e-9, "FisherRsi");

  const Values e2 = osc::ema(osc::ema(rsi, 5), 3);
  const Values signal = osc::sma(e2, 9);
  Values deriv(kWalk.size());
  for (std::size_t i = 0; i < e2.size(); ++i) {
    if (e2[i] && signal[i]) deriv[i] = *e2[i] - *signal[i];
  }
  expect_near_values(run_closes("DerivativeOscillator", {14, 5, 3, 9}, kWalk), deriv, 1e-8,
                     "DerivativeOscillator");
}

TEST(RsiFamily, QqeCarriesItsBandsAndFlipsTheTrailingLine) {
  // RSI(1) with smoothing 1 and band length 1 is the raw 100 / 0 / 50, and
  // the band width is factor * |change of that line|.
  auto qqe = make("Qqe", {1, 1, 0.25});
  const std::vector<double> closes = {1, 2, 3, 2, 1, 2};
  const Values ma = run_output(*qqe, flat_closes(closes), 0);
  qqe = make("Qqe", {1, 1, 0.25});
  const Values trailing = run_output(*qqe, flat_closes(closes), 1);
  expect_values(ma, {kNone, kNone, 100.0, 0.0, 0.0, 100.0}, "rsi_ma");
  // Bar 3 starts up on the lower band; bar 4 falls through it (trend down,
  // the upper band trails); bar 5 carries both bands to 0; bar 6 breaks
  // above the carried upper band (trend up: lower band 100 - 25).
  expect_values(trailing, {kNone, kNone, 100.0, 25.0, 0.0, 75.0}, "trailing_line");
}

// Connors' composite computed plainly. Our percent rank counts the returns
// below the newest among the last N returns, the newest included, over N
// (the original ranks it against the N returns before it).
Values textbook_connors(const std::vector<double>& x, std::size_t rsi_n, std::size_t streak_n,
                        std::size_t rank_n) {
  const Values price = textbook_rsi(x, rsi_n);
  std::vector<double> streaks = {0.0};
  std::vector<double> returns;
  Values out(x.size());
  for (std::size_t i = 1; i < x.size(); ++i) {
    const double s = streaks.back();
    streaks.push_back(x[i] > x[i - 1]   ? std::max(s, 0.0) + 1
                      : x[i] < x[i - 1] ? std::min(s, 0.0) - 1
                                        : 0);
    if (x[i - 1] != 0.0) returns.push_back((x[i] - x[i - 1]) / x[i - 1]);
    // The streak RSI starts from the first streak, on bar 2.
    const Values streak_rsi =
        textbook_rsi(std::vector<double>(streaks.begin() + 1, streaks.end()), streak_n);
    if (returns.size() < rank_n || !price[i] || !streak_rsi.back()) continue;
    std::size_t below = 0;
    for (std::size_t k = returns.size() - rank_n; k < returns.size(); ++k) {
      below += returns[k] < returns.back();
    }
    out[i] = (*price[i] + *streak_rsi.back() + 100.0 * below / rank_n) / 3.0;
  }
  return out;
}

TEST(RsiFamily, ConnorsRsiMatchesItsPlainDefinition) {
  std::vector<double> x(kWalk.begin(), kWalk.begin() + 300);
  x[120] = x[121] = x[119];  // equal closes reset the streak
  expect_near_values(run_closes("ConnorsRsi", {3, 2, 20}, x), textbook_connors(x, 3, 2, 20), 1e-7,
                     "ConnorsRsi");
}

}  // namespace
}  // namespace fendro::testing
