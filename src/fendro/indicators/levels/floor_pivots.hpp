// Floor pivots: a pivot and its support and resistance levels from the
// current bar's own candle. No session or previous-bar logic: each valid
// candle gives its levels, in the fixed output order of each type.
#pragma once

#include <array>
#include <string_view>

#include "fendro/indicators/levels/level_frame.hpp"
#include "fendro/market/records.hpp"

namespace fendro {

struct ClassicPivotsRule {
  static constexpr std::array<std::string_view, 7> kNames = {"pp", "r1", "r2", "r3",
                                                             "s1", "s2", "s3"};
  static std::array<double, 7> levels(const Candle& c);
};

struct WoodiePivotsRule {
  static constexpr std::array<std::string_view, 5> kNames = {"pp", "r1", "r2", "s1", "s2"};
  static std::array<double, 5> levels(const Candle& c);
};

struct FibonacciPivotsRule {
  static constexpr std::array<std::string_view, 7> kNames = {"pp", "r1", "r2", "r3",
                                                             "s1", "s2", "s3"};
  static std::array<double, 7> levels(const Candle& c);
};

// The pivot's formula depends on whether the close is below, above or equal
// to the open.
struct DemarkPivotsRule {
  static constexpr std::array<std::string_view, 3> kNames = {"pp", "r1", "s1"};
  static std::array<double, 3> levels(const Candle& c);
};

// The top and bottom of the range are ordered whichever side the close is on.
struct CentralPivotRangeRule {
  static constexpr std::array<std::string_view, 3> kNames = {"pivot", "tc", "bc"};
  static std::array<double, 3> levels(const Candle& c);
};

struct CamarillaRule {
  static constexpr std::array<std::string_view, 9> kNames = {"pp", "r1", "r2", "r3", "r4",
                                                             "s1", "s2", "s3", "s4"};
  static std::array<double, 9> levels(const Candle& c);
};

using ClassicPivots = CandleLevels<ClassicPivotsRule>;
using WoodiePivots = CandleLevels<WoodiePivotsRule>;
using FibonacciPivots = CandleLevels<FibonacciPivotsRule>;
using DemarkPivots = CandleLevels<DemarkPivotsRule>;
using CentralPivotRange = CandleLevels<CentralPivotRangeRule>;
using Camarilla = CandleLevels<CamarillaRule>;

}  // namespace fendro
