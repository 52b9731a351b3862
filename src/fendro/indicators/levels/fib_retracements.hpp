// Fibonacci price levels of the newest confirmed swing pivots: retracements,
// the golden pocket, extensions and the projection of one leg from the next
// pivot. No parameters; each keeps its own swing tracker.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "fendro/indicators/levels/level_frame.hpp"
#include "fendro/indicators/common/swing_tracker.hpp"

namespace fendro {

inline constexpr std::array<std::string_view, 7> kRetracementNames = {
    "level_0", "level_236", "level_382", "level_500", "level_618", "level_786", "level_1000"};

// The 0.618 to 0.65 zone of the newest leg.
struct GoldenPocketRule {
  static constexpr std::array<std::string_view, 3> kNames = {"low", "mid", "high"};
  static constexpr std::size_t kMaxPivots = 2, kNeeded = 2, kWarmup = 2;
  static constexpr bool kMovesWithBar = false;
  static std::array<double, 3> levels(const SwingTracker& t);
};

// Retracements of the newest leg, from its newer end (level_0) back to its
// older end (level_1000).
struct FibRetracementRule {
  static constexpr auto kNames = kRetracementNames;
  static constexpr std::size_t kMaxPivots = 2, kNeeded = 2, kWarmup = 2;
  static constexpr bool kMovesWithBar = false;
  static std::array<double, 7> levels(const SwingTracker& t);
};

// Retracements of the largest leg among six kept pivots (the newest of
// equal legs).
struct AutoFibRule {
  static constexpr auto kNames = kRetracementNames;
  static constexpr std::size_t kMaxPivots = 6, kNeeded = 2, kWarmup = 2;
  static constexpr bool kMovesWithBar = false;
  static std::array<double, 7> levels(const SwingTracker& t);
};

// Levels beyond the newer end, measured from the older one.
struct FibExtensionRule {
  static constexpr std::array<std::string_view, 5> kNames = {
      "level_1272", "level_1414", "level_1618", "level_2000", "level_2618"};
  static constexpr std::size_t kMaxPivots = 2, kNeeded = 2, kWarmup = 2;
  static constexpr bool kMovesWithBar = false;
  static std::array<double, 5> levels(const SwingTracker& t);
};

// The older of three pivots' legs projected from the newest pivot.
struct FibProjectionRule {
  static constexpr std::array<std::string_view, 4> kNames = {"level_618", "level_1000",
                                                             "level_1618", "level_2618"};
  static constexpr std::size_t kMaxPivots = 3, kNeeded = 3, kWarmup = 3;
  static constexpr bool kMovesWithBar = false;
  static std::array<double, 4> levels(const SwingTracker& t);
};

using GoldenPocket = SwingLevels<GoldenPocketRule>;
using FibRetracement = SwingLevels<FibRetracementRule>;
using AutoFib = SwingLevels<AutoFibRule>;
using FibExtension = SwingLevels<FibExtensionRule>;
using FibProjection = SwingLevels<FibProjectionRule>;

}  // namespace fendro
