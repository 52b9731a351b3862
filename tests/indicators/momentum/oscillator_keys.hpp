// Every MACD, CCI, stochastic, smoothed-momentum and candle-range key with
// customary parameters, shared by the tests and the benchmark.
#pragma once

#include <vector>

#include "../family_key.hpp"

namespace fendro::testing::momentum {

inline const std::vector<family::Key>& oscillator_keys() {
  static const std::vector<family::Key> keys = {
      {"MacdIndicator", {12, 26, 9}, true},
      {"MacdFix", {9}, true},
      {"MacdHistogram", {12, 26, 9}, true},
      {"Apo", {12, 26}, true},
      {"Ppo", {12, 26}, true},
      {"PpoHistogram", {12, 26, 9}, true},
      {"ZeroLagMacd", {12, 26, 9}, true},
      {"VolumeWeightedMacd", {12, 26, 9}},
      {"Cci", {20}},
      {"StochasticCci", {14}},
      {"AdaptiveCci", {20}},
      {"Stochastic", {14, 3}},
      {"WilliamsR", {14}},
      {"Smi", {10, 3, 3}},
      {"KasePermissionStochastic", {10, 3}},
      {"Kst", {10, 15, 20, 30, 10, 10, 10, 15, 9}, true},
      {"Coppock", {14, 11, 10}, true},
      {"Pmo", {35, 20}, true},
      {"Trix", {15}, true},
      {"Tsi", {25, 13}, true},
      {"Tii", {30, 15}, true},
      {"Stc", {23, 50, 10, 0.5}, true},
      {"UltimateOscillator", {7, 14, 28}},
      {"Rvi", {10}},
      {"WaveTrend", {10, 21, 4}},
      {"Pgo", {14}},
      {"ProjectionOscillator", {14}},
      {"Inertia", {20, 14}},
  };
  return keys;
}

}  // namespace fendro::testing::momentum
