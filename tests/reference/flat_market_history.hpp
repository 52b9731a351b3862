// The flat-market comparison after a moving history. A walk on whole ticks
// with whole volumes keeps every running sum exact, so once a type's windows
// hold only copies of a price or only zero volumes, what it reads is what
// exact arithmetic gives. The same walk with its prices (or its volumes)
// scaled by a factor whose multiples do not add exactly leaves rounding
// residue in those sums: a type that reads its windows as they stand then
// gives other bits than the exact run, where it must give the same value
// (or the factor times it, for a value in the scaled unit). Types whose
// state outlasts their windows are not compared here: their value on the
// stretch depends on the history's own rounding.
#pragma once

#include <string>
#include <vector>

#include "reference/flat_market.hpp"
#include "reference/unbounded_ends.hpp"

namespace fendro::reference {

// The factors the prices and the volumes are scaled by.
inline constexpr double kPriceFactors[] = {0.01, 0.3, 7.77, 123.456};
inline constexpr double kVolumeFactors[] = {1.7, 0.001, 123.456};

// One line per parameter set, stretch and factor on which the type, past its
// windows, reads other than the exact run gives; none when exact.
std::vector<std::string> flat_history_faults(const FlatSubject& subject, const std::vector<Kind>& kinds);

}  // namespace fendro::reference
