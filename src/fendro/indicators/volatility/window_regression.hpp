// Least-squares lines through a window of n points at x = 0, 1, ..., n - 1
// (0 the oldest): the constants fixed by n, and the sums taken per bar.
#pragma once

#include <cstddef>
#include <cstdint>

#include "fendro/indicators/windows/bounded_ring.hpp"

namespace fendro::vol {

struct RegressionConstants {
  double sx;   // ((n - 1) * n) * 0.5
  double sxx;  // ((n - 1) * n) * (2n - 1) / 6
  double d;    // sxx * n - sx * sx
};

inline RegressionConstants regression_constants(std::uint64_t period) {
  const double n = static_cast<double>(period);
  const double nn1 = (n - 1.0) * n;
  const double sx = nn1 * 0.5;
  const double sxx = nn1 * (2.0 * n - 1.0) / 6.0;
  return {sx, sxx, sxx * n - sx * sx};
}

// (sum of the values, oldest first, from -0.0) / n.
inline double ring_mean(const BoundedRing<double>& values, double n) {
  double s = -0.0;
  values.for_each([&s](double v) { s = s + v; });
  return s / n;
}

struct LineSums {
  double sy;   // sum of y_i
  double sxy;  // sum of y_i * i
};

// y_i = value_i - center over the values oldest first; both sums from +0.0.
inline LineSums line_sums(const BoundedRing<double>& values, double center) {
  LineSums s{0.0, 0.0};
  std::size_t i = 0;
  values.for_each([&](double v) {
    const double y = v - center;
    s.sy = s.sy + y;
    s.sxy = s.sxy + y * static_cast<double>(i++);
  });
  return s;
}

// (Sxy * n - Sy * Sx) / D.
inline double line_slope(const LineSums& s, double n, const RegressionConstants& k) {
  return (s.sxy * n - s.sy * k.sx) / k.d;
}

// (Sy - Sx * slope) / n.
inline double line_intercept(const LineSums& s, double slope, double n,
                             const RegressionConstants& k) {
  return (s.sy - k.sx * slope) / n;
}

}  // namespace fendro::vol
