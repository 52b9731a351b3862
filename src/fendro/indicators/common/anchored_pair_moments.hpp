// Moments of the last n (a, b) pairs from running sums of deviations about an
// anchor pair (KA, KB). The anchor moves to the window's means every n
// pushes, when the five sums are rebuilt exactly from the window, so rounding
// drift cannot accumulate.
#pragma once

#include <cstdint>
#include <utility>

#include "fendro/indicators/windows/bounded_ring.hpp"

namespace fendro::stats {

// Population moments (divisor n) of a full window.
struct PairMoments {
  double mean_a = 0.0;
  double mean_b = 0.0;
  double var_a = 0.0;  // clamped at +0.0
  double var_b = 0.0;  // clamped at +0.0
  double cov = 0.0;
};

class AnchoredPairMoments {
 public:
  AnchoredPairMoments() = default;
  // Unchecked: callers have already refused short lengths and lengths above
  // MAX_PERIOD.
  explicit AnchoredPairMoments(std::uint64_t n) : ring_(n), period_(n) {}

  // When full, the oldest pair leaves the sums first; the anchor is set by
  // the first pair ever pushed.
  void push(double a, double b);

  // Meaningful once the window is full.
  PairMoments moments() const;

  bool is_full() const { return ring_.is_full(); }
  std::uint64_t period() const { return period_; }
  const BoundedRing<std::pair<double, double>>& ring() const { return ring_; }

  // The anchored sums, for users with formulas of their own.
  double sa() const { return sa_; }
  double sb() const { return sb_; }
  double saa() const { return saa_; }
  double sab() const { return sab_; }

 private:
  void reanchor();

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
};

}  // namespace fendro::stats
