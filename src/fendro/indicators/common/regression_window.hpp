// The least-squares line through the last `period` values, x = 0 for the
// oldest. The sums are kept relative to an anchor K (re-set to the window's
// mean once every `period` pushes), so each push costs constant time and
// the sums stay small and free of cancellation. A window that holds only
// copies of one value fits the flat line through it (slope 0, the value
// everywhere): once the anchor has moved to a rounded mean, the sums hold a
// residue that would read as a slope until they are next rebuilt.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/copy_run.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// The constants of a fit over x = 0 .. n - 1.
struct RegressionConstants {
  double n;    // the period as f64
  double sx;   // ((n - 1) * n) * 0.5
  double sxx;  // (((n - 1) * n) * ((n + n) - 1)) / 6
  double d;    // sxx * n - sx * sx
};
RegressionConstants regression_constants(std::uint64_t period);

// The least-squares slope from the sums Sy of the values y_i and Sxy of
// y_i * i: (Sxy * n - Sx * Sy) / D.
inline double fit_slope(const RegressionConstants& k, double sy, double sxy) {
  return (sxy * k.n - k.sx * sy) / k.d;
}

// The line at x = 0: (Sy - Sx * slope) / n.
inline double fit_intercept(const RegressionConstants& k, double sy, double slope) {
  return (sy - k.sx * slope) / k.n;
}

// The sum, oldest first from +0.0, of the squared residuals of the values
// about the line mean + intercept + slope * i fitted to their deviations.
inline double residual_squares(const BoundedRing<double>& values, double mean, double intercept,
                               double slope) {
  double sum = 0.0;
  double i = 0.0;
  values.for_each([&](double v) {
    const double e = (v - mean) - (intercept + slope * i);
    sum = sum + e * e;
    i = i + 1.0;
  });
  return sum;
}

struct RegressionFit {
  double slope;
  double intercept;  // the line at the oldest position
};

struct RegressionWindow {
  BoundedRing<double> values;  // oldest first
  double anchor = 0.0;         // K
  double sy = 0.0;             // sum of (y - K)
  double sxy = 0.0;            // sum of i * (y - K)
  std::uint64_t pushes = 0;    // since the last re-anchoring
  bool anchored = false;
  std::uint64_t period = 0;
  RegressionConstants k{};
  CopyCheck copies;      // whether the window holds only copies (clock: pushes)
  // The value pushed last; before any, one that equals nothing.
  double newest = std::numeric_limits<double>::quiet_NaN();

  RegressionWindow() = default;
  // Unchecked: callers have already refused lengths below 2 and above MAX_PERIOD.
  explicit RegressionWindow(std::uint64_t n) : values(n), period(n), k(regression_constants(n)) {}
};

// Sums over a window's values y_i (i = 0 for the oldest) of their deviations
// d_i = y_i - mean, each taken oldest first from +0.0 (the mean too); for the types that
// refit the whole window on every bar.
struct DeviationSums {
  double mean;
  double sy;   // sum of d
  double syy;  // sum of d * d
  double sxy;  // sum of d * i
};
DeviationSums deviation_sums(const BoundedRing<double>& values, double n);

// Takes a finite y into `values` and, once they fill the window, returns
// their deviation sums (n: the window's length as f64). No value for a
// non-finite y (nothing changes) or before, nor when the sums of a long
// window are told to stop (see stop_before).
std::optional<DeviationSums> refit_push(BoundedRing<double>& values, double y, double n);

// Minimum first: below 2 (0 included) gives InvalidPeriod with `why`, then
// MAX_PERIOD.
Result<RegressionWindow, IndicatorError> regression_window_new(std::uint64_t n,
                                                               std::string_view why);

// Takes y. No fit for a non-finite y (nothing changes) or until the window
// is full; the flat line through y (a zero as +0.0) on a window of copies of y.
std::optional<RegressionFit> regression_push(RegressionWindow& w, double y);

// The line at the newest position.
inline std::optional<double> linreg_update(RegressionWindow& w, double y) {
  const auto f = regression_push(w, y);
  if (!f) return std::nullopt;
  return (w.k.n - 1.0) * f->slope + f->intercept;
}

inline std::optional<double> linreg_slope_update(RegressionWindow& w, double y) {
  const auto f = regression_push(w, y);
  if (!f) return std::nullopt;
  return f->slope;
}

// The line one bar past the newest position.
inline std::optional<double> tsf_update(RegressionWindow& w, double y) {
  const auto f = regression_push(w, y);
  if (!f) return std::nullopt;
  return f->slope * w.k.n + f->intercept;
}

}  // namespace fendro
