// Keys of the pair and regime family with customary parameters (shared by
// the tests and the benchmark), and runs of two-series types.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "../testing.hpp"
#include "../two_series.hpp"

namespace fendro::testing::pairs {

inline const std::vector<TwoSeriesKey>& pair_keys() {
  static const std::vector<TwoSeriesKey> keys = {
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
  IndicatorPtr ind = make(key, params);
  if (!ind) return std::nullopt;
  return run_pair(*ind, a, b).back();
}

}  // namespace fendro::testing::pairs
