// How many zeros have been pushed into a window since its last nonzero
// entry. A running sum whose entries have all returned to exactly 0 (a flat
// stretch, a halt at volume 0) still holds the rounding residue of its adds
// and subtracts, and a ratio of two such residues is garbage. A window of the
// last n entries holds only zeros exactly when the run is at least n; its
// sum is then exactly 0, and settle() makes it so: +0.0, the sum a fresh
// window of zeros has (the sums start at 0.0, and 0.0 plus or minus either
// zero is 0.0). While a nonzero entry is held, the sum is left as its own
// arithmetic made it.
//
// Only the types whose windows can hold only zeros and divide by (or compare)
// such a sum embed one; the plain windows pay nothing.
#pragma once

#include <cstdint>

#include "fendro/indicators/windows/ring_windows.hpp"

namespace fendro {

class ZeroRun {
 public:
  // t joins the window.
  void push(double t) { run_ = t != 0.0 ? 0 : run_ + 1; }

  // `sum`, the running sum of a window of the last n entries, exactly 0.0
  // when they are all zeros.
  void settle(double& sum, std::uint64_t n) const {
    if (run_ >= n) [[unlikely]] sum = 0.0;
  }

 private:
  std::uint64_t run_ = 0;  // +0.0 and -0.0 are zeros; NaN is not
};

// The runs of the two parts of a window of (a, b) pairs: `w`'s sums of a
// part read exactly 0.0 while the window holds only zeros of that part.
struct ZeroRunPair {
  ZeroRun a;
  ZeroRun b;

  void push(double ta, double tb) {
    a.push(ta);
    b.push(tb);
  }
  void settle(PairRingWindow& w) const {
    a.settle(w.acc_a, w.period);
    b.settle(w.acc_b, w.period);
  }
};

}  // namespace fendro
