// Trying the ranges a row states (stated_ranges.hpp) on the type itself, on
// fresh instances (where the row builds): at the customary parameters and
// with each whole-number parameter at 1, 2 and 5 over the fingerprint's four
// series (the walk, the edge cases, the halted walk, the settled one); at
// those and with each whole-number parameter at 3, and all of them at once
// at 1, 2 and 3, over the scaled walks (scaled_series.hpp) and over series
// built for the type's warm-up: closes strictly rising, strictly falling,
// flat with one step up or down, and heavy bars among light ones.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fendro/registry/registry.hpp"
#include "indicators/all_feeds.hpp"
#include "reference/far_scale_series.hpp"
#include "reference/scaled_series.hpp"
#include "reference/unbounded_ends.hpp"

namespace fendro::reference {

// The fingerprint's four series, from its walk.
std::vector<NamedBars> fingerprint_series(const std::vector<testing::Bar>& walk,
                                          const std::vector<testing::Bar>& halted);

// Closes strictly rising (or falling) for `n` bars; flat with one step up
// (or down) halfway. The other feeds are the walk's, bar for bar.
// `run` seeds the random moves (far_scale_series.hpp).
std::vector<NamedBars> monotone_series(const std::vector<testing::Bar>& walk, std::size_t n,
                                       std::uint64_t run = kFixedSeed);

// `n` bars, heavy ones (volume about 1e9, trade sizes scaled by 1e9, close
// moves up to 1000) among light ones (volume about 1, trade sizes scaled by
// 1e-9, moves up to 0.001), most closing at their high: what a window of
// light bars reads after heavy ones have left it.
NamedBars heavy_and_light(const std::vector<testing::Bar>& walk, std::size_t n, std::uint64_t run = kFixedSeed);

// The series every row's ranges are tried on: the fingerprint's (at the
// customary parameters and 1, 2 and 5), the scaled walks (at every set but
// the long ones) and the far-scale series (at every set), all built for
// `run` (kFixedSeed in CI) where they are drawn at random.
struct RangeSeries {
  std::vector<NamedBars> fingerprint, scaled, far;
  std::uint64_t run = kFixedSeed;
};

// The whole-number parameters a row is also tried at, each alone (the others
// customary, then the others at 1), over the series long enough for them:
// the far-scale series and those built for the type's warm-up.
inline constexpr double kLongPeriods[] = {150.0, 200.0, 1000.0};

// The parameters a row is tried at: the customary ones, then each
// whole-number one alone at 1, 2, 5 and 3, then all of them at once at 1, 2
// and 3, then each at kLongPeriods (the others customary, then at 1), each once and where the row
// builds; `wide` marks those beyond the customary ones and 1, 2 and 5
// alone, which the fingerprint's series are not run at, and `long_only`
// those at kLongPeriods, which the scaled walks (1,860 bars) are not.
struct ParameterSet {
  std::vector<double> values;
  bool wide = false;
  bool long_only = false;
};
std::vector<ParameterSet> parameter_sets(const registry::Entry& row, const std::vector<Kind>& kinds);

// The faults of the ranges `value` (the row's written value text) states,
// none when they hold. With `report`, each claim's reach is printed.
std::vector<std::string> stated_range_faults(const registry::Entry& row, std::string_view value,
                                             const std::vector<Kind>& kinds, const RangeSeries& series,
                                             const std::vector<testing::Bar>& walk, bool report);

}  // namespace fendro::reference
