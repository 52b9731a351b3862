// Population variance of the last n values, from sums of deviations about an
// anchor K that is moved to the window's mean every n pushes (which also
// rebuilds the sums exactly, bounding their drift). A window that holds only
// copies of one value reads a variance of exactly 0: once the anchor has
// moved to a rounded mean, the sums hold a residue of the deviations that
// exact arithmetic makes 0.
#pragma once

#include <cstdint>

#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/copy_run.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

struct RollingVariance {
  BoundedRing<double> ring;
  double anchor = 0.0;  // K
  double s1 = 0.0;      // sum of (v - K)
  double s2 = 0.0;      // sum of (v - K)^2
  std::uint64_t pushes = 0;  // since the last re-anchoring
  bool anchored = false;
  std::uint64_t period = 0;
  CopyCheck copies;          // clock: pushes
  bool only_copies = false;  // the window is full of copies of its newest value
  double newest = 0.0;       // the value pushed last: one load, not a slot computed from the head

  RollingVariance() = default;
  // Unchecked: callers have already refused 0 and lengths above MAX_PERIOD.
  explicit RollingVariance(std::uint64_t n) : ring(n), period(n) {}

  void push(double x) {
    bool repeat;
    if (ring.is_full()) [[likely]] {
      const double evicted = ring.replace_oldest(x);
      repeat = x == newest;
      const double d = evicted - anchor;
      s1 = s1 - d;
      s2 = s2 - d * d;
    } else {
      repeat = ring.len() > 0 && x == ring.back();
      ring.push(x);
    }
    newest = x;
    if (!anchored) {
      anchor = x;
      anchored = true;
    }
    const double d = x - anchor;
    s1 = s1 + d;
    s2 = d * d + s2;
    if (++pushes >= period) reanchor();
    // Only a push of the value pushed before can leave the window holding
    // only copies.
    only_copies = false;
    if (repeat) [[unlikely]] only_copies = copies.after_repeat(ring, x, pushes, period);
  }

  // K := the window's mean; S1, S2 rebuilt about it (oldest to newest, from +0.0).
  void reanchor();

  // Whether the window holds only copies of its newest value.
  bool holds_only_copies() const { return only_copies; }

  // max(0, S2 / n - (S1 / n)^2), or 0 on a window of copies; meaningful once
  // the window is full.
  double population_variance() const {
    if (holds_only_copies()) return 0.0;
    const double n = static_cast<double>(period);
    const double m = s1 / n;
    const double v = s2 / n - m * m;
    return v < 0.0 ? 0.0 : v;
  }

  std::size_t len() const { return ring.len(); }
  bool is_full() const { return ring.is_full(); }
};

// Period checks (0, then MAX_PERIOD), then an empty window.
Result<RollingVariance, IndicatorError> rolling_variance_new(std::uint64_t n);

}  // namespace fendro
