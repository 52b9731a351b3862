// The last n terms and their running sum. Each push subtracts the leaving
// term, then adds the new one (sum = t + (sum - leaving)). With `rebuild`,
// the sum is recomputed exactly from the window, oldest to newest from -0.0,
// every n pushes, so rounding drift cannot outlive n bars; without it the sum
// is kept as it stands for the whole run.
#pragma once

#include <cstddef>
#include <cstdint>

#include "fendro/indicators/windows/bounded_ring.hpp"

namespace fendro {

// Pushes t into `ring` and adjusts `sum`, the running sum of its entries:
// the leaving entry is subtracted, then t added (sum = t + (sum - leaving)).
inline void push_adjusting_sum(BoundedRing<double>& ring, double& sum, double t) {
  if (ring.is_full()) {
    sum = sum - ring.replace_oldest(t);
  } else {
    ring.push(t);
  }
  sum = t + sum;
}

// As push_adjusting_sum, then the sum is rebuilt exactly from the ring once
// every `capacity` pushes; `pushes` counts the pushes since the last rebuild
// (an integer, or a double that holds one).
template <class Count>
void push_resumming(BoundedRing<double>& ring, double& sum, Count& pushes, double t) {
  push_adjusting_sum(ring, sum, t);
  if (++pushes >= ring.capacity()) {
    sum = ring_sum(ring);
    pushes = 0;
  }
}

class RunningSum {
 public:
  RunningSum(std::uint64_t n, bool rebuild) : terms_(n), rebuild_(rebuild) {}

  void push(double t) {
    if (rebuild_) {
      push_resumming(terms_, sum_, pushes_, t);
    } else {
      push_adjusting_sum(terms_, sum_, t);
    }
  }

  double sum() const { return sum_; }
  bool is_full() const { return terms_.is_full(); }
  std::size_t len() const { return terms_.len(); }
  std::uint64_t period() const { return terms_.capacity(); }

 private:
  BoundedRing<double> terms_;
  double sum_ = 0.0;
  std::uint64_t pushes_ = 0;
  bool rebuild_;
};

}  // namespace fendro
