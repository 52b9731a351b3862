// A value read from exponential averages that, on a halted market, moves
// steadily toward a limit in exact arithmetic: a blend of averages of the
// price toward the price, a rate of change or a difference of averages
// toward 0. The rounded steps get there one rounding at a time: a step of
// factor a cannot move an average closer to its input than about 1/(2a)
// units in the last place, so each average stops at a distance of its own,
// and what is read from them turns back and forth within a band of that
// size around the limit, or stops short of it. On a bar that repeats the
// input before it, a value within that band of its limit reads the limit.
// The averages keep their arithmetic: the bar after the halt reads what it
// always did.
#pragma once

#include <cmath>

#include "fendro/indicators/windows/copy_run.hpp"

namespace fendro {

// How far from its limit a value read from averages of factor `alpha` (the
// slowest it reads) may stop, per unit of the scale of its inputs (the
// price): the stopping distance of a chain of six averages, times the largest
// weight sum of a blend of them, with a margin of four.
inline double rounding_band(double alpha) {
  constexpr double kUlpsAtFactorOne = 512.0;
  constexpr double kEpsilon = 0x1p-52;
  return (kUlpsAtFactorOne * kEpsilon) / alpha;
}

// v as it is to be read: the limit itself on a bar that repeats the input
// before it (`repeat`) where v is within band * |scale| of it (both finite),
// else v. `band` is rounding_band's; `scale` the inputs' (1 for a ratio).
inline double limit_read(bool repeat, double v, double limit, double band, double scale) {
  if (!kReadsCopies || !repeat) [[likely]] return v;
  return std::abs(v - limit) <= band * std::abs(scale) ? limit : v;
}

}  // namespace fendro
