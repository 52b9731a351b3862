// The volatility regime label and the volatility cone on every bar of a run
// against a plain reading: the sample standard deviation of the window's log
// returns by two passes, and its history sorted afresh on every bar.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <map>
#include <vector>

#include "fendro/util/math.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing::pairs {
namespace {

// Linear interpolation between the closest ranks of an ascending list.
double quantile(const std::vector<double>& sorted, double q) {
  const double h = q * static_cast<double>(sorted.size() - 1);
  const auto i = static_cast<std::size_t>(h);
  if (i + 1 >= sorted.size()) return sorted.back();
  return sorted[i] + (h - static_cast<double>(i)) * (sorted[i + 1] - sorted[i]);
}

// The volatility of every bar that has `window` returns behind it, in order;
// bar i's entry is vols[i - window].
std::vector<double> volatilities(const std::vector<double>& closes, std::size_t window) {
  std::vector<double> returns;
  for (std::size_t i = 1; i < closes.size(); ++i) returns.push_back(cr::log(closes[i] / closes[i - 1]));
  std::vector<double> vols;
  for (std::size_t end = window; end <= returns.size(); ++end) {
    vols.push_back(sample_sd({returns.begin() + (end - window), returns.begin() + end}));
  }
  return vols;
}

// Calm stretches and bursts, so that every label turns up.
std::vector<double> regime_closes(std::size_t n) {
  SplitMix rng(61);
  std::vector<double> closes = {100.0};
  for (std::size_t i = 1; i < n; ++i) {
    const double scale = (i / 40) % 3 == 1 ? 0.05 : 0.005;
    closes.push_back(closes.back() * (1.0 + (rng.unit() - 0.5) * scale));
  }
  return closes;
}

TEST(VolatilityRegimeReference, RegimeLabelOnEveryBar) {
  const auto closes = regime_closes(600);
  for (const auto& [vol_period, lookback] : {std::pair<std::size_t, std::size_t>{2, 4}, {10, 20}, {5, 51}}) {
    const auto got = run_closes("RegimeLabel", {double(vol_period), double(lookback)}, closes);
    const auto vols = volatilities(closes, vol_period);
    std::map<double, std::size_t> seen;
    for (std::size_t i = 0; i < closes.size(); ++i) {
      if (i + 1 < vol_period + lookback) {
        ASSERT_FALSE(got[i]) << vol_period << " bar " << i + 1;
        continue;
      }
      const std::size_t k = i - vol_period;  // this bar's volatility
      std::vector<double> history(vols.begin() + (k + 1 - lookback), vols.begin() + (k + 1));
      std::sort(history.begin(), history.end());
      const double vol = vols[k];
      const double want = vol < quantile(history, 0.25) ? -1.0 : vol > quantile(history, 0.75) ? 1.0 : 0.0;
      ASSERT_EQ(got[i], want) << vol_period << " " << lookback << " bar " << i + 1;
      ++seen[want];
    }
    EXPECT_EQ(seen.size(), 3u) << vol_period << " " << lookback;
  }
}

TEST(VolatilityRegimeReference, VolatilityConeOnEveryBar) {
  const auto closes = regime_closes(600);
  const auto candles = flat_closes(closes);
  for (const auto& [window, lookback] : {std::pair<std::size_t, std::size_t>{2, 2}, {10, 20}, {5, 51}}) {
    IndicatorPtr ind = make("VolatilityCone", {double(window), double(lookback)});
    ASSERT_TRUE(ind);
    const auto vols = volatilities(closes, window);
    for (std::size_t i = 0; i < closes.size(); ++i) {
      const auto v = step(*ind, candles[i]);
      if (i + 1 < window + lookback) {
        ASSERT_FALSE(v) << window << " bar " << i + 1;
        continue;
      }
      const std::size_t k = i - window;
      std::vector<double> history(vols.begin() + (k + 1 - lookback), vols.begin() + (k + 1));
      std::sort(history.begin(), history.end());
      const double vol = vols[k];
      const std::size_t at_most = std::upper_bound(history.begin(), history.end(), vol) - history.begin();
      const std::size_t mid = lookback / 2;
      const double median = lookback % 2 == 1 ? history[mid] : (history[mid - 1] + history[mid]) * 0.5;
      const std::vector<double> want = {vol, history.front(), median, history.back(),
                                        static_cast<double>(at_most) / static_cast<double>(lookback) * 100.0};
      ASSERT_TRUE(v) << window << " bar " << i + 1;
      const auto outs = ind->outputs();
      ASSERT_EQ(outs.size(), want.size());
      EXPECT_EQ(*v, outs[0].value);
      for (std::size_t j = 0; j < want.size(); ++j) {
        ASSERT_NEAR(outs[j].value, want[j], 1e-9 * (1.0 + want[j]))
            << window << " " << lookback << " bar " << i + 1 << " " << outs[j].name;
      }
    }
  }
}

}  // namespace
}  // namespace fendro::testing::pairs
