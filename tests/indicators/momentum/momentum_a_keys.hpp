// Every RSI, Chande, rate-of-change, Fisher and candle-momentum key with
// customary parameters, shared by the tests and the benchmark.
#pragma once

#include <vector>

#include "../family_key.hpp"

namespace fendro::testing::momentum {

inline const std::vector<family::Key>& momentum_a_keys() {
  static const std::vector<family::Key> keys = {
      {"Rsi", {14}, true},
      {"FisherRsi", {9}, true},
      {"StochRsi", {14, 14}, true},
      {"DerivativeOscillator", {14, 5, 3, 9}, true},
      {"Qqe", {14, 5, 4.236}, true},
      {"ConnorsRsi", {3, 2, 100}, true},
      {"Rmi", {14, 5}, true},
      {"AdaptiveRsi", {14}, true},
      {"Rsx", {14}, true},
      {"AnchoredRsi", {}, true},
      {"LaguerreRsi", {0.5}, true},
      {"Cmo", {9}, true},
      {"Vidya", {14, 9}, true},
      {"DynamicMomentumIndex", {14}, true},
      {"IntradayMomentumIndex", {14}, false},
      {"Roc", {10}, true},
      {"Rocp", {10}, true},
      {"Rocr", {10}, true},
      {"Rocr100", {10}, true},
      {"Mom", {10}, true},
      {"Cfo", {14}, true},
      {"Dpo", {20}, true},
      {"DisparityIndex", {14}, true},
      {"FisherTransform", {10}, true},
      {"InverseFisherTransform", {0.05}, true},
      {"AwesomeOscillator", {5, 34}, false},
      {"AwesomeOscillatorHistogram", {5, 34, 3}, false},
      {"AcceleratorOscillator", {5, 34, 5}, false},
      {"ElderRay", {13}, false},
      {"GatorOscillator", {13, 8, 5}, false},
      {"BalanceOfPower", {}, false},
      {"Qstick", {8}, false},
  };
  return keys;
}

}  // namespace fendro::testing::momentum
