#include "fendro/indicators/common/regression_window.hpp"

#include <cmath>

#include "fendro/util/run_scope.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {
namespace {

// K becomes the window's mean; the sums are rebuilt exactly around it.
[[gnu::cold]] void reanchor(RegressionWindow& w) {
  const DeviationSums s = deviation_sums(w.values, static_cast<double>(w.values.len()));
  w.anchor = s.mean;
  w.sy = s.sy;
  w.sxy = s.sxy;
  w.pushes = 0;
  w.copies.forget();
}

// The fit after a push of the value pushed before: the flat line through y
// when the window now holds only copies of it, else `fit`. Out of line, so
// that a moving market's step keeps nothing across a call.
[[gnu::cold, gnu::noinline]] std::optional<RegressionFit> fit_after_repeat(RegressionWindow& w, double y,
                                                                           RegressionFit fit) {
  if (w.copies.after_repeat(w.values, y, w.pushes, w.period)) return RegressionFit{0.0, copy_read(y)};
  return fit;
}

}  // namespace

DeviationSums deviation_sums(const BoundedRing<double>& values, double n) {
  DeviationSums s{ring_sum_from_zero(values) / n, 0.0, 0.0, 0.0};
  double i = 0.0;
  values.for_each([&](double v) {
    const double d = v - s.mean;
    s.sy = s.sy + d;
    s.syy = s.syy + d * d;
    s.sxy = s.sxy + d * i;
    i = i + 1.0;
  });
  return s;
}

std::optional<DeviationSums> refit_push(BoundedRing<double>& values, double y, double n) {
  if (!std::isfinite(y)) return std::nullopt;
  values.push(y);
  if (!values.is_full()) return std::nullopt;
  // The mean and three sums: about two steps a value.
  if (stop_before(2 * values.len())) return std::nullopt;
  return deviation_sums(values, n);
}

RegressionConstants regression_constants(std::uint64_t period) {
  const double n = static_cast<double>(period);
  const double sx = ((n - 1.0) * n) * 0.5;
  const double sxx = (((n - 1.0) * n) * ((n + n) - 1.0)) / 6.0;
  return {n, sx, sxx, sxx * n - sx * sx};
}

Result<RegressionWindow, IndicatorError> regression_window_new(std::uint64_t n,
                                                               std::string_view why) {
  FENDRO_CHECK(check_period_min_first(n, 2, why));
  return RegressionWindow(n);
}

std::optional<RegressionFit> regression_push(RegressionWindow& w, double y) {
  if (!std::isfinite(y)) return std::nullopt;
  const double before = w.newest;
  w.newest = y;
  if (w.values.is_full()) {
    // Every remaining value's index drops by one.
    const double d0 = w.values.replace_oldest(y) - w.anchor;
    w.sxy = d0 + (w.sxy - w.sy);
    w.sy = w.sy - d0;
  } else {
    w.values.push(y);
  }
  const double i = static_cast<double>(w.values.len() - 1);  // y's index
  if (!w.anchored) {
    w.anchor = y;
    w.anchored = true;
  }
  const double d = y - w.anchor;
  w.sy = w.sy + d;
  w.sxy = w.sxy + i * d;
  if (++w.pushes == w.period) reanchor(w);
  if (!w.values.is_full()) return std::nullopt;

  const double slope = fit_slope(w.k, w.sy, w.sxy);
  const RegressionFit fit{slope, w.anchor + fit_intercept(w.k, w.sy, slope)};
  // Only a push of the value pushed before can leave the window holding
  // only copies.
  if (y == before) [[unlikely]] return fit_after_repeat(w, y, fit);
  return fit;
}

}  // namespace fendro
