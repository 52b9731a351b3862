// Keys of the performance family with customary parameters (shared by the
// tests and the benchmark) and a series of one-bar returns to feed them.
#pragma once

#include <cstdint>
#include <vector>

#include "../two_series.hpp"

namespace fendro::testing::performance {

inline const std::vector<TwoSeriesKey>& perf_keys() {
  static const std::vector<TwoSeriesKey> keys = {
      {"MaxDrawdown", {20}},
      {"AverageDrawdown", {20}},
      {"PainIndex", {20}},
      {"CalmarRatio", {20}},
      {"BurkeRatio", {20}},
      {"SterlingRatio", {20}},
      {"MartinRatio", {20}},
      {"KRatio", {20}},
      {"RecoveryFactor", {}},
      {"SharpeRatio", {20, 0.0}},
      {"M2Measure", {20, 0.0001, 0.01}},
      {"SortinoRatio", {20, 0.0}},
      {"UpsidePotentialRatio", {20, 0.0}},
      {"OmegaRatio", {20, 0.0}},
      {"KellyCriterion", {20}},
      {"WinRate", {20}},
      {"ProfitFactor", {20}},
      {"GainLossRatio", {20}},
      {"Expectancy", {20}},
      {"GainToPainRatio", {20}},
      {"ValueAtRisk", {20, 0.95}},
      {"ConditionalValueAtRisk", {20, 0.95}},
      {"TailRatio", {20}},
      {"CommonSenseRatio", {20}},
      {"InformationRatio", {20}, true},
      {"TreynorRatio", {20, 0.0}, true},
  };
  return keys;
}

// Flat candles whose closes are the one-bar returns of a random walk
// (0.01 = 1%): what the return types are meant to read.
inline std::vector<Candle> return_series(std::size_t n, std::uint64_t seed) {
  const auto walk = random_walk(n + 1, seed);
  std::vector<double> returns;
  returns.reserve(n);
  for (std::size_t i = 1; i < walk.size(); ++i) {
    returns.push_back(walk[i].close / walk[i - 1].close - 1.0);
  }
  return flat_closes(returns);
}

}  // namespace fendro::testing::performance
