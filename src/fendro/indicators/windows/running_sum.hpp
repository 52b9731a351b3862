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

class RunningSum {
 public:
  RunningSum(std::uint64_t n, bool rebuild) : terms_(n), rebuild_(rebuild) {}

  void push(double t) {
    if (terms_.is_full()) {
      sum_ = sum_ - terms_.replace_oldest(t);
    } else {
      terms_.push(t);
    }
    sum_ = t + sum_;
    if (rebuild_ && ++pushes_ >= terms_.capacity()) {
      sum_ = ring_sum(terms_);
      pushes_ = 0;
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
