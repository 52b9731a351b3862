// Series whose inputs sit at scales far apart, or run on for thousands of
// bars exactly as they began: where a row's reach comes from the arithmetic
// (a running sum that keeps what it lost to far larger entries, a least-
// squares fit rounding over a long line of cents, a filter whose pole lies
// on or outside the unit circle), these are the inputs that show it. Each
// takes a seed: CI's fixed set is `kFixedSeed`; any other seed draws new
// series from the same recipes, which no row's text was written against.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "indicators/all_feeds.hpp"
#include "reference/scaled_series.hpp"

namespace fendro::reference {

// The seed of the series CI tries every row on.
inline constexpr std::uint64_t kFixedSeed = 0;

// The seed of one builder in a run of `run`: `fixed` itself for CI's run, so
// that its series are the ones every row was measured on; for any other run
// a seed drawn from both.
std::uint64_t series_seed(std::uint64_t fixed, std::uint64_t run);

// A walk near 100 (moves up to 1%, wicks up to 0.5%), with the volume in
// blocks of kRegimeBars bars alternating about 1e12 and about 1e-8 (each
// times 1 to 2): a window of light volumes after heavy ones have left it.
inline constexpr std::size_t kRegimeBars = 50;
NamedBars volume_regimes(const std::vector<testing::Bar>& walk, std::size_t n, std::uint64_t seed);

// A walk near 100 whose closes sit on the high or the low on most bars,
// every tenth bar gapping up to 2% from the last close, with a volume of
// 1e6 to 1e7 on 2% of the bars at random and below 1 (0.01 to 1) on the
// rest: an average of volumes after a burst has decayed out of it.
NamedBars volume_bursts(const std::vector<testing::Bar>& walk, std::size_t n, std::uint64_t seed);

// Cycles of kFallCycle bars: closes walking near 100 by up to 5% a bar,
// then from bar kFallFrom of the cycle gapping down by `orders` orders of
// magnitude in kFallBars equal steps, then walking by up to 0.01% a bar at
// that level until the next cycle opens near 100 again; wicks up to 0.5%,
// volumes 100 to 1,100. The changes after a fall are some 1e15 to 1e20
// times smaller than those before it.
inline constexpr std::size_t kFallCycle = 500, kFallFrom = 150, kFallBars = 5;
NamedBars falling_orders(const std::vector<testing::Bar>& walk, std::size_t n, int orders, std::uint64_t seed);

// One straight line of `n` closes one cent apart, rising (`up`) or falling
// (down to a cent, where it stays), from `start` cents; each candle spans
// the last close and its own, volume 10.
inline constexpr std::size_t kLongLineBars = 5000;
NamedBars cent_line(const std::vector<testing::Bar>& walk, std::size_t n, bool up, std::int64_t start);

// Closes alternating a cent apart, `low` cents and one more, each candle
// spanning both, volume 10.
NamedBars one_tick_alternation(const std::vector<testing::Bar>& walk, std::size_t n, std::int64_t low);

// All of them for run `run`: the volume regimes and bursts, falls of 12 and
// 15 orders of magnitude, a rising and a falling line of kLongLineBars (CI's
// from 100.00 up and from 150.00 down; another run's from whole cents
// between 20.00 and 200.00), and the alternation (CI's 100.00 and 100.01;
// another run's a cent apart between 90.00 and 110.00).
std::vector<NamedBars> far_scale_series(const std::vector<testing::Bar>& walk, std::uint64_t run);

}  // namespace fendro::reference
