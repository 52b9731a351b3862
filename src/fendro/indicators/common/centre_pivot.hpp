// Whether the candle at a window's centre position is a strict pivot: its
// high above every other high, or its low below every other low.
#pragma once

#include <algorithm>
#include <cstddef>

#include "fendro/indicators/windows/bounded_ring.hpp"

namespace fendro::chart {

struct CentrePivot {
  bool high = true;
  bool low = true;
};

// Walks outward from `centre` (a rival is most likely nearby) and stops once
// neither kind can hold. An equal high (low) anywhere else rules it out. `Bar`
// is anything with a high and a low (a candle, or just the pair).
template <class Bar>
CentrePivot centre_pivot(const BoundedRing<Bar>& w, std::size_t centre) {
  const Bar& c = w[centre];
  CentrePivot p;
  const std::size_t n = w.len();
  const std::size_t reach = std::max(centre, n - 1 - centre);
  for (std::size_t d = 1; d <= reach && (p.high || p.low); ++d) {
    if (d <= centre) {
      const Bar& o = w[centre - d];
      p.high = p.high && c.high > o.high;
      p.low = p.low && c.low < o.low;
    }
    if (centre + d < n) {
      const Bar& o = w[centre + d];
      p.high = p.high && c.high > o.high;
      p.low = p.low && c.low < o.low;
    }
  }
  return p;
}

}  // namespace fendro::chart
