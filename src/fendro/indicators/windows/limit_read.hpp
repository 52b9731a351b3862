// A value read from exponential averages that, on a halted market, moves
// steadily toward a limit in exact arithmetic: a blend of averages of the
// price toward the price, a rate of change or a difference of averages
// toward 0. The rounded steps get there one rounding at a time: a step of
// factor a cannot move an average closer to its input than about 1/(2a)
// units in the last place, so each average stops at a distance of its own,
// and what is read from them turns back and forth within a band of that
// size around the limit, or stops short of it. On a bar of a halt that has
// lasted the caller's period, a value within that band of its limit reads
// the limit.
// The averages keep their arithmetic: the bar after the halt reads what it
// always did.
#pragma once

#include <cmath>

#include "fendro/indicators/windows/copy_run.hpp"

namespace fendro {

// How far from its limit a value read from averages of factor `alpha` (the
// slowest it reads) may stop or swing, per unit of the scale of its inputs
// (the price): `ulps` units of 2^-52 for each 1/alpha. An average stops
// within about 1/(2 alpha) units in the last place of its input (a unit is
// 2^-52 to 2^-53 of the price), and its one-bar change repeats by the unit
// from about 1/alpha units down; a blend of averages multiplies that by its
// weights. Each caller's `ulps` covers its own reading with a margin.
inline double rounding_band(double alpha, double ulps) {
  constexpr double kEpsilon = 0x1p-52;
  return (ulps * kEpsilon) / alpha;
}

// limit_read on a bar of a halt past the caller's period: the limit where v
// is within band * |scale| of it, else v. Out of line: a moving market
// passes it by.
[[gnu::cold, gnu::noinline]] inline double limit_read_on_repeat(double v, double limit, const double& band,
                                                                double scale) {
  if (v == limit || !(std::abs(v - limit) <= band * std::abs(scale))) return v;
  return limit;
}

// v as it is to be read: the limit itself on a bar of a halt past the
// caller's period (`repeat`: its inputs have repeated for that many bars)
// where v is within band * |scale| of it (both finite),
// else v (a zero of either sign left as it is). `band` is rounding_band's,
// read only then; `scale` the inputs' (1 for a ratio). A run of repeated
// closes is all a close-only type can tell of a halt: its value stays a
// function of its closes.
inline double limit_read(bool repeat, double v, double limit, const double& band, double scale) {
  if (!kReadsCopies || !repeat) [[likely]] return v;
  return limit_read_on_repeat(v, limit, band, scale);
}

}  // namespace fendro
