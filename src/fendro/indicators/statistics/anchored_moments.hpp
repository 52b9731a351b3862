// Anchored moments of the last n values: running sums of deviations about an
// anchor K that moves to the window's mean every n pushes, when the sums are
// rebuilt exactly from the window (bounding their rounding drift).
//
// `AnchoredMoments` keeps the power sums S1 and S2 (mean and population
// variance); it is the shared `RollingVariance` window, and the helpers of
// volatility/anchored_moments.hpp (window_mean, population_variance_raw,
// sample_variance_raw, ...) apply to it. `AnchoredHigherMoments` also keeps
// S3 and S4 for skewness and kurtosis.
#pragma once

#include <cstdint>

#include "fendro/indicators/volatility/anchored_moments.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/rolling_variance.hpp"

namespace fendro::stats {

using AnchoredMoments = RollingVariance;

// max(v, 0): a negative, negative-zero or NaN variance counts as +0.0.
using vol::clamp_variance;

// Mean and population variance (clamped) of a full window.
struct Moments {
  double mean = 0.0;
  double variance = 0.0;
};

inline Moments full_window_moments(const AnchoredMoments& w) {
  const double n = static_cast<double>(w.period);
  const double m1 = w.s1 / n;
  return {w.anchor + m1, clamp_variance(w.s2 / n - m1 * m1)};
}

// Power sums 1 to 4 about the anchor.
class AnchoredHigherMoments {
 public:
  AnchoredHigherMoments() = default;
  // Unchecked: callers have already refused 0 and lengths above MAX_PERIOD.
  explicit AnchoredHigherMoments(std::uint64_t n) : ring_(n), period_(n) {}

  void push(double x);

  bool is_full() const { return ring_.is_full(); }
  std::size_t len() const { return ring_.len(); }
  std::uint64_t period() const { return period_; }
  double anchor() const { return anchor_; }
  double s1() const { return s1_; }
  double s2() const { return s2_; }
  double s3() const { return s3_; }
  double s4() const { return s4_; }

 private:
  void resync();

  BoundedRing<double> ring_;
  double anchor_ = 0.0;
  bool anchored_ = false;
  double s1_ = 0.0;
  double s2_ = 0.0;
  double s3_ = 0.0;
  double s4_ = 0.0;
  std::uint64_t pushes_ = 0;
  std::uint64_t period_ = 0;
};

}  // namespace fendro::stats
