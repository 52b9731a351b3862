// The last n terms and their running sum. Each push subtracts the leaving
// term, then adds the new one (sum = t + (sum - leaving)). With `rebuild`,
// the sum is recomputed exactly from the window, oldest to newest from -0.0,
// every n pushes, so rounding drift cannot outlive n bars; without it the sum
// is kept as it stands for the whole run. ZeroReadingSum also counts the
// zeros pushed since the last nonzero term, and its sum reads exactly 0.0
// while the window holds only zeros (the sum itself keeps its arithmetic).
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/zero_run.hpp"

namespace fendro {

// A push into a ring still filling: the first `capacity` pushes only, so out
// of the running sums' line, as the re-sum below.
[[gnu::cold, gnu::noinline]] inline void ring_fill(BoundedRing<double>& ring, double t) {
  ring.push(t);
}

// Pushes t into `ring` and adjusts `sum`, the running sum of its entries:
// the leaving entry is subtracted, then t added (sum = t + (sum - leaving)).
inline void push_adjusting_sum(BoundedRing<double>& ring, double& sum, double t) {
  if (ring.is_full()) [[likely]] {
    sum = sum - ring.replace_oldest(t);
  } else {
    ring_fill(ring, t);
  }
  sum = t + sum;
}

// The exact re-sum of a running sum. It runs once every `capacity` pushes, so
// it stays out of line: inlined, its loop would make the callers' every step
// too large to inline in turn.
[[gnu::cold, gnu::noinline]] inline double ring_resum(const BoundedRing<double>& ring) {
  return ring_sum(ring);
}

// What a rebuild tells by default: nothing.
struct NothingOnRebuild {
  void operator()() const {}
};

// Counts one push; once `every` pushes have been counted, `sum` is rebuilt
// exactly from the ring, the count starts again and `rebuilt()` is called
// (for an owner that keeps a clock on the count). `pushes` is an integer, or
// a double that holds one.
template <class Count, class Rebuilt = NothingOnRebuild>
inline void count_push_resumming(const BoundedRing<double>& ring, double& sum, Count& pushes,
                                 std::uint64_t every, Rebuilt rebuilt = {}) {
  if (++pushes >= every) [[unlikely]] {
    sum = ring_resum(ring);
    pushes = 0;
    rebuilt();
  }
}

// As push_adjusting_sum, then the sum is rebuilt exactly from the ring once
// every `capacity` pushes; `pushes` counts the pushes since the last rebuild.
template <class Count, class Rebuilt = NothingOnRebuild>
inline void push_resumming(BoundedRing<double>& ring, double& sum, Count& pushes, double t,
                           Rebuilt rebuilt = {}) {
  push_adjusting_sum(ring, sum, t);
  count_push_resumming(ring, sum, pushes, ring.capacity(), rebuilt);
}

// Whether a sum is rebuilt every n pushes: as chosen when it is built, or
// never, in which case it counts no pushes at all.
enum class Rebuild { kChosen, kNever };

template <bool ReadsZeros, Rebuild R = Rebuild::kChosen>
class BasicRunningSum {
 public:
  BasicRunningSum(std::uint64_t n, bool rebuild)
    requires(R == Rebuild::kChosen)
      : terms_(n), count_{0, rebuild ? n : kNever} {}
  explicit BasicRunningSum(std::uint64_t n)
    requires(R == Rebuild::kNever)
      : terms_(n) {}

  void push(double t) {
    push_adjusting_sum(terms_, sum_, t);
    if constexpr (R == Rebuild::kChosen) {
      count_push_resumming(terms_, sum_, count_.pushes, count_.every);
    }
    if constexpr (ReadsZeros) zeros_.push(t);
  }

  double sum() const {
    if constexpr (ReadsZeros) {
      return zeros_.read(sum_, terms_.capacity());
    } else {
      return sum_;
    }
  }
  bool is_full() const { return terms_.is_full(); }
  std::size_t len() const { return terms_.len(); }
  std::uint64_t period() const { return terms_.capacity(); }

 private:
  // A count of pushes no run reaches: a sum chosen never to be rebuilt. Both
  // choices then take the same straight step, with no test of which they are.
  static constexpr std::uint64_t kNever = ~std::uint64_t{0};

  struct Count {
    std::uint64_t pushes = 0;  // since the last rebuild
    std::uint64_t every = 0;
  };
  struct NoCount {};

  BoundedRing<double> terms_;
  double sum_ = 0.0;
  [[no_unique_address]] std::conditional_t<R == Rebuild::kChosen, Count, NoCount> count_;
  [[no_unique_address]] std::conditional_t<ReadsZeros, ZeroRun, NoCount> zeros_;
};

using RunningSum = BasicRunningSum<false>;
// For the windows that can return to holding only zeros and whose sum is
// divided by or compared with 0; the kept one is never rebuilt.
using ZeroReadingSum = BasicRunningSum<true>;
using KeptZeroReadingSum = BasicRunningSum<true, Rebuild::kNever>;

}  // namespace fendro
