// Anchored moments of the last n values: running sums of deviations about an
// anchor K that moves to the window's mean every n pushes, when the sums are
// rebuilt exactly from the window (bounding their rounding drift).
//
// `AnchoredMoments` keeps the power sums S1 and S2 (mean and population
// variance); it is the shared `RollingVariance` window, and the helpers of
// volatility/anchored_moments.hpp (window_mean, population_variance_raw,
// sample_variance_raw, ...) apply to it. `AnchoredWindow` runs the same
// technique for any set of sums, e.g. the power sums 1 to 4
// (`AnchoredHigherMoments`), and tells when its window holds only copies of
// one value: every moment about their mean is then exactly 0, which sums
// rebuilt about a rounded mean miss until they are next rebuilt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>

#include "fendro/indicators/common/variance_values.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/copy_run.hpp"
#include "fendro/indicators/windows/rolling_variance.hpp"

namespace fendro::stats {

using AnchoredMoments = RollingVariance;

// max(v, 0): a negative, negative-zero or NaN variance counts as +0.0.
using vol::clamp_variance;

// Mean and population variance (clamped) of a full window; the value itself
// and 0 on a window of copies.
struct Moments {
  double mean = 0.0;
  double variance = 0.0;
};

inline Moments full_window_moments(const AnchoredMoments& w) {
  if (w.holds_only_copies()) return {copy_read(w.ring.back()), 0.0};
  const double n = static_cast<double>(w.period);
  const double m1 = w.s1 / n;
  return {w.anchor + m1, clamp_variance(w.s2 / n - m1 * m1)};
}

// The last n values with sums of their deviations d = x - K. `Sums` starts
// at zero and has `enter(d, position)` (position 0 is the oldest value) and
// `leave(d)` for the oldest value, called before the others move down one
// position.
template <class Sums>
class AnchoredWindow {
 public:
  AnchoredWindow() = default;
  // Unchecked: callers have already refused 0 and lengths above MAX_PERIOD.
  explicit AnchoredWindow(std::uint64_t n) : ring_(n), period_(n) {}

  // When full, the oldest value leaves the sums first; the anchor is set by
  // the first value ever pushed.
  void push(double x) {
    const bool repeat = x == newest_;
    newest_ = x;
    if (auto evicted = ring_.push(x)) sums_.leave(*evicted - anchor_);
    if (!anchored_) {
      anchor_ = x;
      anchored_ = true;
    }
    sums_.enter(x - anchor_, ring_.len() - 1);
    if (++pushes_ >= period_) resync();
    // Only a push of the value pushed before can leave the window holding
    // only copies.
    only_copies_ = false;
    if (repeat) [[unlikely]] only_copies_ = copies_.after_repeat(ring_, x, pushes_, period_);
  }

  bool is_full() const { return ring_.is_full(); }
  std::size_t len() const { return ring_.len(); }
  std::uint64_t period() const { return period_; }
  double anchor() const { return anchor_; }
  const Sums& sums() const { return sums_; }
  // Whether the window is full of copies of its newest value.
  bool holds_only_copies() const { return only_copies_; }

 private:
  // K := the window's mean (summed oldest first from 0.0); every sum rebuilt
  // from zero about it, oldest first.
  void resync() {
    double total = 0.0;
    ring_.for_each([&total](double v) { total = total + v; });
    anchor_ = total / static_cast<double>(ring_.len());
    Sums fresh{};
    std::size_t position = 0;
    ring_.for_each([&](double v) { fresh.enter(v - anchor_, position++); });
    sums_ = fresh;
    pushes_ = 0;
    copies_.forget();
  }

  BoundedRing<double> ring_;
  double anchor_ = 0.0;
  bool anchored_ = false;
  Sums sums_{};
  std::uint64_t pushes_ = 0;  // since the last resync
  std::uint64_t period_ = 0;
  CopyCheck copies_;  // clock: pushes_
  bool only_copies_ = false;
  double newest_ = std::numeric_limits<double>::quiet_NaN();  // the value pushed last; at first, none
};

// S1 to S4: the sums of d, d^2, d^3 = d * d^2 and d^4 = d^2 * d^2.
struct PowerSums4 {
  double s1 = 0.0;
  double s2 = 0.0;
  double s3 = 0.0;
  double s4 = 0.0;

  void enter(double d, std::size_t) {
    const double d2 = d * d;
    s1 = s1 + d;
    s2 = s2 + d2;
    s3 = s3 + d * d2;
    s4 = s4 + d2 * d2;
  }
  void leave(double d) {
    const double d2 = d * d;
    s1 = s1 - d;
    s2 = s2 - d2;
    s3 = s3 - d * d2;
    s4 = s4 - d2 * d2;
  }
};

using AnchoredHigherMoments = AnchoredWindow<PowerSums4>;

}  // namespace fendro::stats
