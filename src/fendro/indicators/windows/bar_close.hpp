// The input of close-only types: the candle's close, NaN when the snapshot
// carries no candle (so the finite-close test rejects the bar).
#pragma once

#include <limits>

#include "fendro/market/bar_snapshot.hpp"

namespace fendro {

inline double bar_close(const BarSnapshot& bar) {
  return bar.candle != nullptr ? bar.candle->close : std::numeric_limits<double>::quiet_NaN();
}

}  // namespace fendro
