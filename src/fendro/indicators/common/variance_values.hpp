// Derived values of an anchored moment window: the last n values with running
// sums S1 = sum(x - K) and S2 = sum((x - K)^2) about an anchor K that is moved
// to the window's mean every n pushes (`RollingVariance`). Every value below
// is meant for a full window of n values. A window of copies of one value
// reads that value as its mean and 0 as every variance.
#pragma once

#include <cmath>

#include "fendro/indicators/common/fused.hpp"
#include "fendro/indicators/windows/rolling_variance.hpp"

namespace fendro::vol {

// A negative, -0.0 or NaN variance counts as +0.0 before a square root.
inline double clamp_variance(double v) { return v > 0.0 ? v : 0.0; }

// K + S1 / n; the value itself on a window of copies.
inline double window_mean(const RollingVariance& w) {
  if (w.holds_only_copies()) return copy_read(w.ring.back());
  return w.anchor + w.s1 / static_cast<double>(w.period);
}

// S2 / n - (S1 / n)^2, unclamped; 0 on a window of copies.
inline double population_variance_raw(const RollingVariance& w) {
  if (w.holds_only_copies()) return 0.0;
  const double n = static_cast<double>(w.period);
  const double m = w.s1 / n;
  return w.s2 / n - m * m;
}

// (S2 - n * m^2) / (n - 1) with m = S1 / n, the product and the sum rounded
// once; unclamped; 0 on a window of copies.
inline double sample_variance_raw(const RollingVariance& w) {
  if (w.holds_only_copies()) return 0.0;
  const double n = static_cast<double>(w.period);
  const double m = w.s1 / n;
  return fused_mul_add(n, -(m * m), w.s2) / static_cast<double>(w.period - 1);
}

inline double population_stddev(const RollingVariance& w) {
  return std::sqrt(clamp_variance(population_variance_raw(w)));
}

inline double sample_stddev(const RollingVariance& w) {
  return std::sqrt(clamp_variance(sample_variance_raw(w)));
}

}  // namespace fendro::vol
