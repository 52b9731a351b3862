// How many nonzero entries a window holds. A running sum whose entries have
// all returned to exactly 0 (a flat stretch, a halt at volume 0) still holds
// the rounding residue of its adds and subtracts; a ratio of two such
// residues is garbage. With no nonzero entry held, the sum is exactly 0, and
// settle() makes it so: +0.0, the sum a fresh window of zeros has (the sums
// start at 0.0, and 0.0 plus or minus either zero is 0.0). While a nonzero
// entry is held, the sum is left as its own arithmetic made it.
//
// Only the types whose windows can hold only zeros and divide by (or compare)
// such a sum embed one; the plain windows pay nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>

#include "fendro/indicators/windows/bounded_ring.hpp"

namespace fendro {

class NonzeroCount {
 public:
  // t joins the window.
  void enter(double t) { held_ += t != 0.0 ? 1 : 0; }
  // t leaves the window (an entry that entered before).
  void leave(double t) { held_ -= t != 0.0 ? 1 : 0; }
  // Before t is pushed into `ring`: t joins, and the oldest entry leaves if
  // the ring is full.
  void before_push(const BoundedRing<double>& ring, double t) {
    enter(t);
    if (ring.is_full()) leave(ring.front());
  }

  // The window's running sum, exactly 0.0 when it holds only zeros.
  void settle(double& sum) const {
    if (held_ == 0) sum = 0.0;
  }

 private:
  std::uint64_t held_ = 0;
};

// The counts of a window of (a, b) pairs with a running sum of each part.
struct NonzeroPairCount {
  NonzeroCount a;
  NonzeroCount b;

  // (ta, tb) joins and, if one left, `leaving` leaves.
  void swap(double ta, double tb, const std::optional<std::pair<double, double>>& leaving) {
    a.enter(ta);
    b.enter(tb);
    if (leaving) {
      a.leave(leaving->first);
      b.leave(leaving->second);
    }
  }
  // Before (ta, tb) is pushed into `ring`, as NonzeroCount::before_push.
  void before_push(const BoundedRing<std::pair<double, double>>& ring, double ta, double tb) {
    swap(ta, tb, ring.is_full() ? std::optional(ring.front()) : std::nullopt);
  }
  void settle(double& sum_a, double& sum_b) const {
    a.settle(sum_a);
    b.settle(sum_b);
  }
};

}  // namespace fendro
