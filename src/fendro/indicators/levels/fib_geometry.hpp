// Fibonacci tools that also use the swing pivots' bar positions or combine
// several legs: time zones, fan lines, arcs, a channel through three pivots
// and the densest cluster of retracement levels. No parameters; each keeps
// its own swing tracker.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fendro/indicators/levels/level_frame.hpp"
#include "fendro/indicators/common/swing_tracker.hpp"

namespace fendro {

// Bars since the newest pivot's extreme against the numbers 1, 2, 3, 5, 8, ...
struct FibTimeZonesRule {
  static constexpr std::array<std::string_view, 2> kNames = {"on_zone", "bars_to_next"};
  static constexpr std::size_t kMaxPivots = 2, kNeeded = 1, kWarmup = 2;
  static constexpr bool kMovesWithBar = true;
  static std::array<double, 2> levels(const SwingTracker& t);
};

// Lines from the older pivot through the 38.2%, 50% and 61.8% retracements
// of the leg at the newer pivot's bar.
struct FibFanRule {
  static constexpr std::array<std::string_view, 3> kNames = {"fan_382", "fan_500", "fan_618"};
  static constexpr std::size_t kMaxPivots = 2, kNeeded = 2, kWarmup = 2;
  static constexpr bool kMovesWithBar = true;
  static std::array<double, 3> levels(const SwingTracker& t);
};

// Arcs around the newer pivot that close onto its price once the bars since
// it reach the leg's duration.
struct FibArcsRule {
  static constexpr std::array<std::string_view, 3> kNames = {"arc_382", "arc_500", "arc_618"};
  static constexpr std::size_t kMaxPivots = 2, kNeeded = 2, kWarmup = 2;
  static constexpr bool kMovesWithBar = true;
  static std::array<double, 3> levels(const SwingTracker& t);
};

// The line through the first and third of three pivots, and parallels at
// fractions of the middle pivot's distance from it.
struct FibChannelRule {
  static constexpr std::array<std::string_view, 4> kNames = {"base", "level_618", "level_1000",
                                                             "level_1618"};
  static constexpr std::size_t kMaxPivots = 3, kNeeded = 3, kWarmup = 3;
  static constexpr bool kMovesWithBar = true;
  static std::array<double, 4> levels(const SwingTracker& t);
};

// The mean of the largest cluster of 38.2/50/61.8% retracements of all kept
// legs (3% relative tolerance around each level) and its size.
struct FibConfluenceRule {
  static constexpr std::array<std::string_view, 2> kNames = {"price", "strength"};
  static constexpr std::size_t kMaxPivots = 6, kNeeded = 3, kWarmup = 3;
  static constexpr bool kMovesWithBar = false;
  static std::array<double, 2> levels(const SwingTracker& t);
};

// Members of the cluster around levels[at]: every level within 3% of the
// larger magnitude, in list order; their count and sum (from -0.0).
struct FibCluster {
  std::size_t count = 0;
  double sum = -0.0;
};
FibCluster fib_confluence_cluster(const double* levels, std::size_t n, std::size_t at);

// Whether e is one of 1, 2, 3, 5, 8, ... and the smallest of them above e.
struct FibZone {
  bool on_zone = false;
  std::uint64_t next = 1;
};
FibZone fib_time_zone(std::uint64_t e);

using FibTimeZones = SwingLevels<FibTimeZonesRule>;
using FibFan = SwingLevels<FibFanRule>;
using FibArcs = SwingLevels<FibArcsRule>;
using FibChannel = SwingLevels<FibChannelRule>;
using FibConfluence = SwingLevels<FibConfluenceRule>;

}  // namespace fendro
