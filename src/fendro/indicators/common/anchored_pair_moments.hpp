// Moments of the last n (a, b) pairs from running sums of deviations about an
// anchor pair (KA, KB). The anchor moves to the window's means every n
// pushes, when the five sums are rebuilt exactly from the window, so rounding
// drift cannot accumulate. A series whose window holds only copies of one
// value reads that value as its mean and 0 as its variance and as the
// covariance: once the anchor has moved to a rounded mean, the sums hold a
// residue of deviations that exact arithmetic makes 0 until they are next
// rebuilt.
#pragma once

#include <cstdint>
#include <limits>
#include <utility>

#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/copy_run.hpp"

namespace fendro::stats {

// Population moments (divisor n) of a full window.
struct PairMoments {
  double mean_a = 0.0;
  double mean_b = 0.0;
  double var_a = 0.0;  // clamped at +0.0
  double var_b = 0.0;  // clamped at +0.0
  double cov = 0.0;
};

// With ReadsCopies, moments() reads the copies as said above. Without it the
// window counts no copies (its users read only the anchored sums, and a
// series that repeats often, as a price change of 0 between the prints of
// one bar, costs nothing).
template <bool ReadsCopies>
class BasicAnchoredPairMoments {
 public:
  BasicAnchoredPairMoments() = default;
  // Unchecked: callers have already refused short lengths and lengths above
  // MAX_PERIOD.
  explicit BasicAnchoredPairMoments(std::uint64_t n) : ring_(n), period_(n) {}

  // When full, the oldest pair leaves the sums first; the anchor is set by
  // the first pair ever pushed.
  void push(double a, double b);

  // Meaningful once the window is full.
  PairMoments moments() const;

  bool is_full() const { return ring_.is_full(); }
  std::uint64_t period() const { return period_; }
  const BoundedRing<std::pair<double, double>>& ring() const { return ring_; }

  // The anchored sums, for users with formulas of their own (as their
  // arithmetic left them, residue and all).
  double sa() const { return sa_; }
  double sb() const { return sb_; }
  double saa() const { return saa_; }
  double sab() const { return sab_; }

 private:
  void reanchor();
  // Which series' windows hold only copies of their newest value.
  [[gnu::cold, gnu::noinline]] void count_copies();
  // Copies of one value: that value as the mean, 0 as the variance and the covariance.
  [[gnu::cold, gnu::noinline]] void read_copies(PairMoments& m) const;

  BoundedRing<std::pair<double, double>> ring_;
  double ka_ = 0.0;
  double kb_ = 0.0;
  bool anchored_ = false;
  double sa_ = 0.0;
  double sb_ = 0.0;
  double saa_ = 0.0;
  double sbb_ = 0.0;
  double sab_ = 0.0;
  std::uint64_t pushes_ = 0;
  std::uint64_t period_ = 0;
  // The pair pushed last; at first, none (NaN repeats nothing).
  double newest_a_ = std::numeric_limits<double>::quiet_NaN();
  double newest_b_ = std::numeric_limits<double>::quiet_NaN();
  CopyCheck copies_a_;  // clock: pushes_
  CopyCheck copies_b_;
  // kOnlyA | kOnlyB: the series whose windows hold only copies (one store a push clears both).
  static constexpr unsigned char kOnlyA = 1;
  static constexpr unsigned char kOnlyB = 2;
  unsigned char only_copies_ = 0;
};

using AnchoredPairMoments = BasicAnchoredPairMoments<true>;
// For the users of the anchored sums alone.
using AnchoredPairSums = BasicAnchoredPairMoments<false>;

extern template class BasicAnchoredPairMoments<true>;
extern template class BasicAnchoredPairMoments<false>;

}  // namespace fendro::stats
