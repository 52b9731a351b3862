// A walk in whole cents, then a halt: every price stays at the last close
// with volume 0. The series the halt readings are checked over.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "indicators/testing.hpp"

namespace fendro::testing {

inline constexpr std::size_t kHaltWalk = 300;
inline constexpr std::size_t kLongHalt = 12000;

inline constexpr std::uint64_t kHaltWalkSeed = 88172645463325252ull;

// Closes moving by whole cents near 3.36, then a halt of `halt` bars, then
// one bar that moves again (a cent up, with volume). Another seed walks
// elsewhere.
inline std::vector<Candle> walk_halt_move(std::size_t halt, std::uint64_t seed = kHaltWalkSeed) {
  std::vector<Candle> cs;
  long cents = 336;
  std::int64_t t = 1'700'000'000'000;
  for (std::size_t i = 0; i < kHaltWalk; ++i, t += 3'600'000) {
    seed ^= seed << 13;
    seed ^= seed >> 7;
    seed ^= seed << 17;
    const long prev = cents;
    cents += static_cast<long>(seed % 5) - 2;
    const double hi = (std::max(prev, cents) + static_cast<long>((seed >> 8) % 2)) / 100.0;
    const double lo = (std::min(prev, cents) - static_cast<long>((seed >> 9) % 2)) / 100.0;
    cs.push_back(Candle{t, prev / 100.0, hi, lo, cents / 100.0, 100.0 + static_cast<double>((seed >> 16) % 900)});
  }
  const double p = cents / 100.0;
  for (std::size_t i = 0; i < halt; ++i, t += 3'600'000) cs.push_back(Candle{t, p, p, p, p, 0.0});
  cs.push_back(Candle{t, p, p + 0.01, p, p + 0.01, 500.0});
  return cs;
}

// walk_halt_move(kLongHalt), built once.
inline const std::vector<Candle>& long_halt_series() {
  static const std::vector<Candle> cs = walk_halt_move(kLongHalt);
  return cs;
}

// The first halt bar past `from` (bar 1 is the first halt candle after the
// kHaltWalk bars of the walk) on which v, halted for `halt` bars, moves
// against its last move, or has no value; 0 when there is none.
inline std::size_t first_turn_back(const Values& v, std::size_t from, std::size_t halt) {
  int direction = 0;
  for (std::size_t bar = from + 1; bar <= halt; ++bar) {
    const std::optional<double> before = v[kHaltWalk + bar - 2];
    const std::optional<double> x = v[kHaltWalk + bar - 1];
    if (!before || !x) return bar;
    const int d = *x > *before ? 1 : (*x < *before ? -1 : 0);
    if (d == 0) continue;
    if (direction != 0 && d != direction) return bar;
    direction = d;
  }
  return 0;
}

}  // namespace fendro::testing
