// Series at every scale a user's candles come in, on which the reference
// tries each stated range: walks near 1e-6, 1, 1e4 and 1e9 on ticks of 2, 4
// and 8 decimals, each passing through the stretches where rounding shows
// (scaled_walk). A range the fingerprint's series hold can still be passed
// on prices a thousand million times larger, or on ticks so coarse that a
// close sits on its high for hundreds of bars.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fendro/market/records.hpp"
#include "indicators/all_feeds.hpp"

namespace fendro::reference {

// A named series of bars.
struct NamedBars {
  std::string name;
  std::vector<testing::Bar> bars;
};

// Bars whose candles come from `candle(i)`, hourly, the other feeds the
// walk's, bar for bar.
template <class CandleAt>
std::vector<testing::Bar> with_walk_feeds(const std::vector<testing::Bar>& walk, std::size_t n, CandleAt candle) {
  std::vector<testing::Bar> bars;
  bars.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    testing::Bar b = walk[i % walk.size()];
    b.candle = candle(i);
    b.candle.time = 1'700'000'000'000 + static_cast<std::int64_t>(i) * 3'600'000;
    bars.push_back(std::move(b));
  }
  return bars;
}

// Where a scaled walk starts and the tick it moves on: prices are whole
// numbers of ticks, each written as ticks / 10^decimals, so 1.00 on ticks
// of 2 decimals is 100 / 100. Below 1, the decimals count from the
// price's first digit (1e-6 on 2 decimals moves on ticks of 1e-8), so a
// price is never a handful of ticks.
struct Scale {
  double near = 1.0;   // a power of ten
  int decimals = 2;    // of the tick, counted from the price's first digit below 1
};

// The stretches of a scaled walk, in order, with their lengths:
//  - a walk: closes move by up to 1% a bar, a whole number of ticks (0 or 1
//    tick where a tick is 1%), highs and lows up to 0.5% beyond (400);
//  - closes on the high for 300 bars, mostly rising; then on the low for
//    300, mostly falling;
//  - one-price candles (all four prices equal), moving by a few ticks (60);
//  - gaps: every tenth bar opens 5% to 50% away from the last close, up or
//    down (200);
//  - zero volume on every bar of a walk (100);
//  - moves of one tick a bar: closes one tick up or down or unmoved, each
//    candle as wide as its move (100);
//  - moves of one unit in the last place: the close one representable
//    number up or down or unmoved (100); then flat with one step of a unit
//    up and one down (100); then candles one unit wide, the close on the
//    high or the low at random (200).
// Volumes run from 1 to 1,000 in hundredths outside the zero stretch.
std::vector<testing::Bar> scaled_walk(const std::vector<testing::Bar>& walk, Scale scale, std::uint64_t seed);

// The walk's length and the stretches' first bars, for the tests.
inline constexpr std::size_t kScaledWalkBars = 1860;
inline constexpr std::size_t kOnHighAt = 400, kOnLowAt = 700, kOnePriceAt = 1000, kGapsAt = 1060,
                             kZeroVolumeAt = 1260, kTickMovesAt = 1360, kUlpMovesAt = 1460, kUlpStepAt = 1560,
                             kUlpWideAt = 1660;

// `runs` straight lines of kLineBars closes on whole cents, each from a
// level of 1.00 to 100.00 by a step of 1 to 5 cents up or down, the first
// from 23.05 down by 2; candles from the last close to the next, volume 10.
// A least-squares line through such closes is exact in decimals, not in
// binary.
inline constexpr std::size_t kLineBars = 20;
NamedBars straight_lines(const std::vector<testing::Bar>& walk, std::size_t runs, std::uint64_t seed = 5300);

// `n` of the walk's bars (from its first again past its end) with every
// other feed one-sided, in runs of kOneSidedRun bars buying, selling, then
// balanced, and so on: on a buying run the asks of each book hold size 0,
// every print is a buy, and every member of the cross-section rises, at a
// new high and above its average; a selling run mirrors it; on a balanced
// run each bar's prints are a buy and then a sell of 2.5 each (the book and
// the cross-section the walk's). What an imbalance or a breadth reads at
// its ends.
inline constexpr std::size_t kOneSidedRun = 150;
NamedBars one_sided_feeds(const std::vector<testing::Bar>& walk, std::size_t n);

// Every scaled walk: near 1e-6, 1, 1e4 and 1e9, each on 2, 4 and 8
// decimals; then the straight lines and the one-sided feeds. `run` seeds
// the walks and the lines (series_seed of far_scale_series.hpp): 0 gives
// CI's.
std::vector<NamedBars> scaled_walks(const std::vector<testing::Bar>& walk, std::uint64_t run = 0);

}  // namespace fendro::reference
