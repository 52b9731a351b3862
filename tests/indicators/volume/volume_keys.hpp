// Every key of the volume family with customary parameters, shared by the
// tests and the benchmark.
#pragma once

#include <vector>

#include "../family_key.hpp"

namespace fendro::testing {

inline const std::vector<family::Key>& volume_keys() {
  static const std::vector<family::Key> keys = {
      {"Obv", {}},
      {"Adl", {}},
      {"AdOscillator", {}},
      {"Pvi", {}},
      {"Nvi", {}},
      {"VolumePriceTrend", {}},
      {"Wad", {}},
      {"TradeVolumeIndex", {0.01}},
      {"IntradayIntensity", {}},
      {"MarketFacilitationIndex", {}},
      {"BetterVolume", {20}},
      {"ChaikinMoneyFlow", {20}},
      {"ChaikinOscillator", {3, 10}},
      {"DemandIndex", {10}},
      {"EaseOfMovement", {14}},
      {"ForceIndex", {13}},
      {"Kvo", {34, 55}},
      {"Mfi", {14}},
      {"Tsv", {13}},
      {"TwiggsMoneyFlow", {21}},
      {"VolumeOscillator", {5, 10}},
      {"VolumeRsi", {14}},
      {"Vzo", {14}},
      {"CandleVolume", {20}},
      {"Equivolume", {20}},
      {"Vwap", {}},
      {"AnchoredVwap", {}},
      {"SessionVwap", {0}},
      {"RollingVwap", {20}},
      {"VwapStdDevBands", {2}},
      {"VolumeProfile", {20, 24}},
      {"TpoProfile", {20, 24}},
      {"ValueArea", {20, 24, 0.7}},
      {"CompositeProfile", {20, 24, 0.7}},
      {"HighLowVolumeNodes", {20, 24}},
      {"NakedPoc", {20, 24}},
      {"ProfileShape", {20, 24}},
      {"SinglePrints", {20, 24}},
  };
  return keys;
}

}  // namespace fendro::testing
