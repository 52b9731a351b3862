// Every key of the volatility family with customary parameters, shared by
// the tests and the benchmark.
#pragma once

#include <vector>

#include "../family_key.hpp"

namespace fendro::testing {

// The flag marks types that read nothing of the candle but its close.
inline const std::vector<family::Key>& vol_keys() {
  static const std::vector<family::Key> keys = {
      {"Atr", {14}, false},
      {"Natr", {14}, false},
      {"VolatilityRatio", {14}, false},
      {"AtrBands", {14, 2}, false},
      {"EwmaVolatility", {0.94}, true},
      {"HighLowRange", {}, false},
      {"TrueRange", {}, false},
      {"Donchian", {20}, false},
      {"FractalChaosBands", {2}, false},
      {"QuartileBands", {20}, true},
      {"RealizedVolatility", {20}, true},
      {"StdDev", {20}, true},
      {"UlcerIndex", {14}, true},
      {"BipowerVariation", {20}, true},
      {"RviVolatility", {10}, true},
      {"ChoppinessIndex", {14}, false},
      {"DetrendedStdDev", {20}, true},
      {"ProjectionBands", {14}, false},
      {"BollingerBands", {20, 2}, true},
      {"BollingerBandwidth", {20, 2}, true},
      {"PercentB", {20, 2}, true},
      {"MedianChannel", {20, 2}, true},
      {"HurstChannel", {20, 1.5}, false},
      {"AccelerationBands", {20, 4}, false},
      {"MaEnvelope", {20, 0.025}, true},
      {"StandardErrorBands", {21, 2}, true},
      {"BomarBands", {40, 0.85}, true},
      {"JumpIndicator", {20, 3}, true},
      {"DoubleBollinger", {20, 1, 2}, true},
      {"TtmSqueeze", {20, 2, 1.5}, false},
      {"Keltner", {20, 10, 2}, false},
      {"StarcBands", {6, 15, 2}, false},
      {"ChaikinVolatility", {10, 10}, false},
      {"MassIndex", {9, 25}, false},
      {"WavePm", {14, 10}, true},
      {"VolatilityOfVolatility", {20, 20}, true},
      {"GarmanKlassVolatility", {20, 252}, false},
      {"ParkinsonVolatility", {20, 252}, false},
      {"RogersSatchellVolatility", {20, 252}, false},
      {"HistoricalVolatility", {20, 252}, true},
      {"YangZhangVolatility", {20, 252}, false},
      {"AverageDailyRange", {5, 0}, false},
      {"Garch11", {1e-6, 0.1, 0.85}, true},
  };
  return keys;
}

}  // namespace fendro::testing
