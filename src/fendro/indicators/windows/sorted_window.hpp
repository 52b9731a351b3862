// The last n values in arrival order plus the same values kept ascending
// under the f64 total order, for quantiles and medians.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

class SortedWindow {
 public:
  SortedWindow() = default;
  // Unchecked: callers have already refused 0 and lengths above MAX_PERIOD.
  explicit SortedWindow(std::uint64_t n) : ring_(n), period_(n) {}

  // When full, the oldest value leaves the ring and the sorted list (the
  // entry at its lower bound); then x joins both, in the sorted list at its
  // lower bound (before equal values). Moving the entries between those two
  // places is long in a long window: it is noted with the command's scope
  // (see stop_before). True: told to stop (x is in all the same); the bar
  // gives no value.
  bool stop_after_push(double x);

  // Linear interpolation between the closest ranks; q in [0, 1] (checked by
  // the user's constructor). The window must hold at least one value.
  double quantile(double q) const;

  std::span<const double> sorted() const { return sorted_; }
  const BoundedRing<double>& ring() const { return ring_; }
  std::uint64_t period() const { return period_; }
  std::size_t len() const { return ring_.len(); }
  bool is_full() const { return ring_.is_full(); }

 private:
  BoundedRing<double> ring_;
  std::vector<double> sorted_;
  std::uint64_t period_ = 0;
};

// Period checks (0, then MAX_PERIOD), then an empty window.
Result<SortedWindow, IndicatorError> sorted_window_new(std::uint64_t n);

// Quantile q of an ascending list of m >= 1 values:
// s[i] + (h - floor(h)) * (s[i+1] - s[i]) with h = q * (m - 1), i = floor(h).
double sorted_quantile(std::span<const double> s, double q);

// Fills `out` (emptied first) with |v - c| for every v of the ascending list
// `s`, in ascending order of the deviation: a walk outward from the lower
// bound of c, the smaller deviation first under the total order, the lower
// side first on ties. Returns the number written (s.size()). Reuse `out`
// across bars: once it has grown to the window's size nothing is allocated.
std::size_t abs_deviations_sorted(std::span<const double> s, double c, std::vector<double>& out);

}  // namespace fendro
