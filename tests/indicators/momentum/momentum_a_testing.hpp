// The shared indicator test checks, with `flats` (one flat candle per close)
// under the name the oscillator tests still use.
#pragma once

#include <vector>

#include "indicators/testing.hpp"

namespace fendro::testing {

inline std::vector<Candle> flats(const std::vector<double>& closes) { return flat_closes(closes); }

}  // namespace fendro::testing
