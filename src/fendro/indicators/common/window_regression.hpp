// Least-squares lines through a window of n points at x = 0, 1, ..., n - 1
// (0 the oldest), with the sums taken per bar around a chosen centre. The
// constants fixed by n and the slope and intercept from the sums are the
// regression window's.
#pragma once

#include <cstddef>

#include "fendro/indicators/common/regression_window.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"

namespace fendro::vol {

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

}  // namespace fendro::vol
