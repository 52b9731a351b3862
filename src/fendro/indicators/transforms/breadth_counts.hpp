// The per-bar counts of a market cross-section that every breadth measure is
// built from: advancing and declining instruments, their volumes and the
// number of instruments carrying each flag. Entries are not validated.
#pragma once

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <span>

#include "fendro/market/records.hpp"

namespace fendro::breadth {

struct Counts {
  std::uint64_t advancing = 0;  // change > 0
  std::uint64_t declining = 0;  // change < 0 (a NaN change is neither)
  double up_volume = -0.0;      // volumes of the advancing entries, in list order
  double down_volume = -0.0;    // volumes of the declining entries, in list order
  std::uint64_t new_highs = 0;  // sums of the flag bytes
  std::uint64_t new_lows = 0;
  std::uint64_t above_ma = 0;
  std::uint64_t bullish = 0;
  std::uint64_t entries = 0;
};

// One pass in list order. Inline and branch-free, so a caller that reads
// only some of the counts pays only for those. Adding -0.0 leaves every sum
// as it was, which keeps the volume sums exact without a branch.
// `v` when `take`, else -0.0, chosen by bit mask: random directions would
// make a branch mispredict on every other instrument.
inline double take_or_negative_zero(bool take, double v) {
  const std::uint64_t mask = std::uint64_t{0} - static_cast<std::uint64_t>(take);
  const std::uint64_t bits =
      (std::bit_cast<std::uint64_t>(v) & mask) | (std::bit_cast<std::uint64_t>(-0.0) & ~mask);
  return std::bit_cast<double>(bits);
}

inline Counts count(std::span<const CrossSectionEntry> xs) {
  Counts k;
  k.entries = xs.size();
  for (const CrossSectionEntry& e : xs) {
    const bool up = e.change > 0.0;
    const bool down = e.change < 0.0;
    k.advancing += up;
    k.declining += down;
    k.up_volume = k.up_volume + take_or_negative_zero(up, e.volume);
    k.down_volume = k.down_volume + take_or_negative_zero(down, e.volume);
    k.new_highs += e.new_high;
    k.new_lows += e.new_low;
    k.above_ma += e.above_ma;
    k.bullish += e.bullish;
  }
  return k;
}

inline double as_f64(std::uint64_t n) { return static_cast<double>(n); }

// A count raised to 1: the larger of the count and 1, as f64.
inline double at_least_one(std::uint64_t n) { return as_f64(std::max<std::uint64_t>(n, 1)); }

// A volume sum raised to 1.0: the larger of the sum and 1.0; NaN counts as 1.0.
inline double at_least_one(double v) { return std::isnan(v) || v < 1.0 ? 1.0 : v; }

}  // namespace fendro::breadth
