// Every key of the level family with customary parameters, shared by the
// tests and the benchmark.
#pragma once

#include <vector>

#include "../family_key.hpp"

namespace fendro::testing::levels {

inline const std::vector<family::Key>& level_keys() {
  static const std::vector<family::Key> keys = {
      {"Camarilla", {}},        {"CentralPivotRange", {}}, {"ClassicPivots", {}},
      {"DemarkPivots", {}},     {"FibonacciPivots", {}},   {"WoodiePivots", {}},
      {"FibArcs", {}},          {"FibExtension", {}},      {"FibFan", {}},
      {"FibRetracement", {}},   {"FibTimeZones", {}},      {"GoldenPocket", {}},
      {"FibChannel", {}},       {"FibProjection", {}},     {"AutoFib", {}},
      {"FibConfluence", {}},    {"AndrewsPitchfork", {3}}, {"MurreyMathLines", {20}},
      {"VolumeWeightedSr", {20}}, {"InitialBalance", {30}}, {"OpeningRange", {30}},
      {"OvernightGap", {-300}}, {"SessionHighLow", {60}},  {"SessionRange", {0}},
  };
  return keys;
}

}  // namespace fendro::testing::levels
