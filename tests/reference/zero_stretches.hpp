// Series on which a windowed sum ends up holding only zeros: a history that
// leaves rounding residue in running sums (prices in cents and finer at
// levels near 20 and near 20000 mixed bar by bar, volumes of 2 to 8
// decimals, heavy bars among light ones), then one of four stretches that
// start at its last close. Every feed a type may read moves with the candle:
// the prints, the book, the derivatives tick, the cross-section and the
// reference series of pair types.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "indicators/all_feeds.hpp"

namespace fendro::reference {

// What the bars after the history do.
enum class StretchKind {
  kHalt,         // every price at the last close, nothing traded
  kFlatVolume,   // prices at the last close, volume and sizes moving, every print a buy
  kQuietMoves,   // the close moving, volume 0, nothing traded
  kMoving,       // every feed moving, as in the history
};
std::string_view stretch_name(StretchKind kind);

// `n` bars of history from `seed`; the last one closes near `level` (20 or 20000).
std::vector<testing::Bar> residue_history(std::size_t n, std::uint64_t seed, double level);

// `n` bars of `kind` after `last` (the history's last bar), on its clock.
// Zeros stand where the kind stops a feed: volume, sizes, taker volume,
// liquidations, the funding rate, a move of a price, the change of a
// cross-section entry and its new highs and lows, the book's imbalance
// (equal sizes on both sides); where volume moves, what is sold.
std::vector<testing::Bar> stretch_after(const testing::Bar& last, StretchKind kind, std::size_t n,
                                        std::uint64_t seed);

}  // namespace fendro::reference
