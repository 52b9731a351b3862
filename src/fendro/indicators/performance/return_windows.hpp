// Windows of the last n inputs with running values kept alongside, for the
// performance ratios that do not rescan their window every bar.
#pragma once

#include <cstdint>

#include "fendro/indicators/windows/bounded_ring.hpp"

namespace fendro::perf {

// The last n values and their running sum: the leaving value is subtracted,
// the new one added, and every n pushes the sum is rebuilt exactly from the
// window (oldest first, from -0.0), so rounding drift cannot accumulate.
class ResummedRing {
 public:
  // Unchecked: callers have already refused short lengths and MAX_PERIOD.
  explicit ResummedRing(std::uint64_t n) : ring_(n) {}

  void push(double x) {
    if (auto evicted = ring_.push(x)) sum_ = sum_ - *evicted;
    sum_ = sum_ + x;
    if (++pushes_ >= ring_.capacity()) {
      sum_ = ring_sum(ring_);
      pushes_ = 0;
    }
  }

  bool is_full() const { return ring_.is_full(); }
  double sum() const { return sum_; }
  const BoundedRing<double>& ring() const { return ring_; }

 private:
  BoundedRing<double> ring_;
  double sum_ = 0.0;
  std::uint64_t pushes_ = 0;  // since the last exact re-sum
};

// The last n values and running tallies of them that are only ever adjusted
// (the leaving value taken out, the new one put in), never rebuilt. `Tally`
// has enter(x) and leave(x).
template <class Tally>
class TalliedRing {
 public:
  // Unchecked: callers have already refused 0 and MAX_PERIOD.
  TalliedRing(std::uint64_t n, Tally tally) : ring_(n), tally_(tally) {}

  void push(double x) {
    if (auto evicted = ring_.push(x)) tally_.leave(*evicted);
    tally_.enter(x);
  }

  bool is_full() const { return ring_.is_full(); }
  const Tally& tally() const { return tally_; }

 private:
  BoundedRing<double> ring_;
  Tally tally_;
};

}  // namespace fendro::perf
