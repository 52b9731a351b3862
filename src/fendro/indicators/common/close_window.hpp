// The frame of close-only window statistics: only the close is read (a NaN or
// infinite close is dropped and changes nothing; the rest of the candle is
// not checked), each accepted close enters a window of the last n closes,
// and a value comes on every accepted bar once the window holds n closes.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <type_traits>
#include <utility>
#include <vector>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/util/run_scope.hpp"
#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/copy_run.hpp"

namespace fendro::stats {

// `Window` has is_full() and push(x), or stop_after_push(x) when a push may
// itself be long (true: told to stop); `Derived::value(x)` gives the
// statistic of the full window whose newest close is x (as a double, or as an
// optional for a statistic whose work may be cut short within the bar).
// A statistic that rescans its window declares the steps of that work in
// `value_steps()`: they are noted before it (see stop_before), and a stop
// said then gives no value.
template <class Derived, class Window>
class CloseWindowStat : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) final {
    double x;
    if (!finite_close_to(bar, x)) return no_value();
    if constexpr (requires { window_.stop_after_push(x); }) {
      if (window_.stop_after_push(x)) return no_value();
    } else {
      window_.push(x);
    }
    if (!window_.is_full()) return no_value();
    Derived& self = static_cast<Derived&>(*this);
    if (stop_before(self.value_steps())) return no_value();
    const auto v = self.value(x);
    if constexpr (std::is_same_v<decltype(v), const std::optional<double>>) {
      return returned(v);
    } else {
      return value_out(v);
    }
  }
  std::uint64_t warmup_period() const final { return period_; }

  // A statistic read off running sums: nothing to note.
  std::uint64_t value_steps() const { return 0; }

 protected:
  CloseWindowStat(std::uint64_t period, Window window)
      : window_(std::move(window)), period_(period) {}

  Window window_;
  std::uint64_t period_;
};

// The ring's values, oldest first, into `out` (reused between bars: once it
// has grown to the window's size nothing is allocated).
inline void copy_oldest_first(const BoundedRing<double>& ring, std::vector<double>& out) {
  out.assign(ring.older().begin(), ring.older().end());
  out.insert(out.end(), ring.newer().begin(), ring.newer().end());
}

// Sum of the values in order, from -0.0.
inline double ordered_sum(std::span<const double> values) {
  double s = -0.0;
  for (double v : values) s = s + v;
  return s;
}

// Whether m >= 1 values are all copies of the first: on a moving market the
// first compare or two answer.
inline bool only_copies(std::span<const double> values) {
  return kReadsCopies && std::all_of(values.begin(), values.end(),
                     [first = values.front()](double v) { return v == first; });
}

// Whether every value of the ring is a copy of x (its newest), oldest first.
inline bool ring_only_copies(const BoundedRing<double>& ring, double x) {
  const auto copy = [x](double v) { return v == x; };
  return kReadsCopies && std::all_of(ring.older().begin(), ring.older().end(), copy) &&
         std::all_of(ring.newer().begin(), ring.newer().end(), copy);
}

// The mean of m >= 1 values and the sum of their squared deviations from it,
// both summed in order from -0.0. Copies of one value read that value (a
// zero as +0.0) and 0: their rounded sum over m is not always the value.
struct CentredSums {
  double mean = 0.0;
  double squares = 0.0;
};

inline CentredSums centred_sums(std::span<const double> values) {
  if (only_copies(values)) return {copy_read(values.front()), 0.0};
  const double mean = ordered_sum(values) / static_cast<double>(values.size());
  double squares = -0.0;
  for (double v : values) squares = squares + (v - mean) * (v - mean);
  return {mean, squares};
}

}  // namespace fendro::stats
