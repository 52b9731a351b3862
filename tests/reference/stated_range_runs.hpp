// Trying the ranges a row states (stated_ranges.hpp) on the type itself:
// fresh instances at the customary parameters and with each whole-number
// parameter at 1, 2 and 5 (where the row builds), over the fingerprint's
// four series (the walk, the edge cases, the halted walk, the settled one)
// and over series built for the type's warm-up: closes strictly rising,
// strictly falling, and flat with one step up or down.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fendro/registry/registry.hpp"
#include "indicators/all_feeds.hpp"
#include "reference/unbounded_ends.hpp"

namespace fendro::reference {

// A named series of bars.
struct NamedBars {
  std::string name;
  std::vector<testing::Bar> bars;
};

// The customary parameters, then each whole-number one at 1, 2 and 5 (those
// the row builds), `kinds` holding one kind a parameter the row reads.
std::vector<std::vector<double>> parameter_sets(const registry::Entry& row, const std::vector<Kind>& kinds);

// The fingerprint's four series, from its walk.
std::vector<NamedBars> fingerprint_series(const std::vector<testing::Bar>& walk,
                                          const std::vector<testing::Bar>& halted);

// Closes strictly rising (or falling) for `n` bars; flat with one step up
// (or down) halfway. The other feeds are the walk's, bar for bar.
std::vector<NamedBars> monotone_series(const std::vector<testing::Bar>& walk, std::size_t n);

// `n` bars, heavy ones (volume about 1e9, trade sizes scaled by 1e9, close
// moves up to 1000) among light ones (volume about 1, trade sizes scaled by
// 1e-9, moves up to 0.001), most closing at their high: what a window of
// light bars reads after heavy ones have left it.
NamedBars heavy_and_light(const std::vector<testing::Bar>& walk, std::size_t n);

// The faults of the ranges `value` (the row's written value text) states,
// none when they hold. With `report`, each claim's reach is printed.
std::vector<std::string> stated_range_faults(const registry::Entry& row, std::string_view value,
                                             const std::vector<Kind>& kinds, const std::vector<NamedBars>& series,
                                             const std::vector<testing::Bar>& walk, bool report);

}  // namespace fendro::reference
