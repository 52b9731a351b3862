// Every key of the chart family with customary parameters, shared by the
// tests and the benchmark.
#pragma once

#include <vector>

#include "../family_key.hpp"

namespace fendro::testing::chart {

inline const std::vector<family::Key>& chart_keys() {
  static const std::vector<family::Key> keys = {
      {"DoubleTopBottom", {}}, {"FlagPennant", {}}, {"Abcd", {}}, {"CupAndHandle", {}},
      {"RectangleRange", {}}, {"Triangle", {}}, {"Wedge", {}}, {"Bat", {}}, {"Butterfly", {}},
      {"Crab", {}}, {"Cypher", {}}, {"Gartley", {}}, {"HeadAndShoulders", {}}, {"Shark", {}},
      {"TripleTopBottom", {}}, {"ThreeDrives", {}},
      {"TdCamouflage", {}}, {"TdClop", {}}, {"TdClopwin", {}}, {"TdDifferential", {}},
      {"TdOpen", {}}, {"TdPropulsion", {}}, {"TdTrap", {}}, {"TdRangeProjection", {}},
      {"TdDeMarker", {13}}, {"TdDWave", {3}}, {"TdPressure", {10}}, {"TdRei", {5}},
      {"TdSetup", {4, 9}}, {"TdLines", {4, 9}}, {"TdRiskLevel", {4, 9}},
      {"TdMovingAverage", {3, 5}}, {"TdCombo", {4, 9, 2, 13}}, {"TdCountdown", {4, 9, 2, 13}},
      {"TdSequential", {4, 9, 2, 13}},
      {"HeikinAshi", {}}, {"HeikinAshiOscillator", {10}}, {"SmoothedHeikinAshi", {10}},
      {"DumplingTop", {20}}, {"FryPanBottom", {20}}, {"NewPriceLines", {3}},
      {"PivotReversal", {3, 2}}, {"ThreeLineBreak", {3}},
  };
  return keys;
}

}  // namespace fendro::testing::chart
