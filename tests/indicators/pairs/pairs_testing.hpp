// Keys of the pair and regime family with customary parameters (shared by
// the tests and the benchmark), and stepping helpers for two-series types.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fendro/indicators/indicator.hpp"
#include "fendro/market/bar_snapshot.hpp"
#include "fendro/registry/registry.hpp"
#include "../series.hpp"

namespace fendro::testing::pairs {

struct PairKey {
  const char* key;
  std::vector<double> params;
  bool two_series;  // reads the reference value besides the close
};

inline const std::vector<PairKey>& pair_keys() {
  static const std::vector<PairKey> keys = {
      {"BetaNeutralSpread", {20}, true},
      {"DistanceSsd", {20}, true},
      {"HasbrouckInformationShare", {30}, true},
      {"OuHalfLife", {20}, true},
      {"PairwiseBeta", {20}, true},
      {"SpreadAr1Coefficient", {20}, true},
      {"SpreadHurst", {40}, true},
      {"TrendLabel", {20}, false},
      {"GrangerCausality", {40, 2}, true},
      {"PairSpreadZScore", {20, 20}, true},
      {"Cointegration", {40, 1}, true},
      {"KalmanHedgeRatio", {1e-4, 1e-3}, true},
      {"LeadLagCrossCorrelation", {20, 5}, true},
      {"RelativeStrengthAB", {10, 14}, true},
      {"SpreadBollingerBands", {20, 2.0}, true},
      {"RegimeLabel", {20, 50}, false},
      {"SeasonalZScore", {60}, false},
      {"TurnOfMonth", {2, 2, 0}, false},
      {"VolatilityCone", {20, 50}, false},
  };
  return keys;
}

inline IndicatorPtr build_key(const std::string& key, const std::vector<double>& params) {
  auto r = build_indicator(key, params);
  EXPECT_TRUE(r.ok()) << key << ": " << (r.ok() ? std::string() : r.error().display());
  return r.ok() ? std::move(r).value() : nullptr;
}

// One bar: a candle with or without a reference value.
inline std::optional<double> step_pair(Indicator& ind, const Candle& c,
                                       std::optional<double> reference) {
  BarSnapshot bar;
  bar.candle = &c;
  bar.reference = reference;
  return ind.update(bar);
}

inline std::optional<double> step_pair(Indicator& ind, double close,
                                       std::optional<double> reference) {
  return step_pair(ind, flat(close), reference);
}

// The value of every bar of a run over equal-length series A and B.
inline std::vector<std::optional<double>> run_pair(Indicator& ind, const std::vector<double>& a,
                                                   const std::vector<double>& b) {
  std::vector<std::optional<double>> out;
  for (std::size_t i = 0; i < a.size(); ++i) out.push_back(step_pair(ind, a[i], b[i]));
  return out;
}

// The last value of a key over series A and B.
inline std::optional<double> last_pair_value(const std::string& key,
                                             const std::vector<double>& params,
                                             const std::vector<double>& a,
                                             const std::vector<double>& b) {
  IndicatorPtr ind = build_key(key, params);
  if (!ind) return std::nullopt;
  return run_pair(*ind, a, b).back();
}

// A second random walk to serve as the reference series.
inline std::vector<double> reference_walk(std::size_t n, std::uint64_t seed) {
  std::vector<double> out;
  for (const Candle& c : random_walk(n, seed, 50.0)) out.push_back(c.close);
  return out;
}

}  // namespace fendro::testing::pairs
