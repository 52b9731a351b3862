// The series every key is dumped over, each with its stretches named.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <utility>
#include <vector>

#include "indicators/all_feeds.hpp"
#include "indicators/fingerprint_series.hpp"
#include "residue_series.hpp"

namespace fendro::value_dump {

// The fingerprint's lengths (tests/fingerprint/fingerprint.cpp).
inline constexpr std::size_t kWalkBars = 20000;
inline constexpr std::size_t kEdgeBars = 1500;
inline constexpr std::size_t kMovingBars = 3000;
inline constexpr std::size_t kHaltedBars = 90000;
inline constexpr std::size_t kSettleBars = 16000;
inline constexpr std::size_t kNudgeBars = 1000;
inline constexpr std::size_t kResidueStretch = 600;

// The fingerprint's four series with their stretches named, as their
// builders lay them out, then the walks in cents (residue_series.hpp).
inline std::vector<GeneratedSeries> dumped_series() {
  std::vector<testing::Bar> walk = testing::make_bars(kWalkBars);
  std::vector<GeneratedSeries> out;
  // Built from the walk before it is moved into `out`.
  std::vector<testing::Bar> edges = testing::make_edge_bars(walk, kEdgeBars);
  std::vector<testing::Bar> halted = testing::make_halted_bars(walk, kMovingBars, kHaltedBars);
  std::vector<testing::Bar> settled = testing::make_settled_bars(walk, kMovingBars, kSettleBars, kNudgeBars);

  // The layout as stated: its length is checked against the bars built.
  const auto stretches = [](const char* series, std::initializer_list<std::pair<const char*, std::size_t>> lengths) {
    SeriesInfo info{series, 0, {}};
    for (const auto& [name, n] : lengths) {
      info.segments.push_back({name, info.bars});
      info.bars += n;
    }
    return info;
  };
  const std::size_t e = kEdgeBars;
  out.push_back({stretches("walk", {{"walk", kWalkBars}}), std::move(walk)});
  out.push_back({stretches("edges", {{"zeros", e}, {"grid", e}, {"flat runs", e}, {"small integers", e}, {"eighths", e}}),
                 std::move(edges)});
  out.push_back({stretches("halted", {{"moving", kMovingBars}, {"halted", kHaltedBars}}), std::move(halted)});
  // make_settled_bars: nine ulp moves, eight of them followed by quiet bars.
  const std::size_t ulp_moves = 9 + 8 * kNudgeBars, tiny_ulp_moves = 9 + 8 * 500;
  out.push_back({stretches("settled", {{"moving", kMovingBars},
                                       {"halt", kSettleBars},
                                       {"high and low swing", kNudgeBars},
                                       {"volume moves", kSettleBars / 2},
                                       {"ulp moves", ulp_moves},
                                       {"tiny halt", kSettleBars},
                                       {"tiny ulp moves", tiny_ulp_moves},
                                       {"tiny walk", 1000 + 20 * 300},
                                       {"tiny quiet", 1000},
                                       {"tiny stairs", 160 + 3 * 300},
                                       {"walk again", kMovingBars}}),
                 std::move(settled)});
  out.push_back(make_residue_series("cents near 20", 20.0, 51, kResidueStretch));
  out.push_back(make_residue_series("cents near 20000", 20000.0, 52, kResidueStretch));
  out.push_back(make_residue_series("cents 20 and 20000 by turns", 20.0, 53, kResidueStretch, 20000.0, 7));
  return out;
}

}  // namespace fendro::value_dump
