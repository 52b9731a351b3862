// The linearly weighted mean of the last n finite inputs (weights 1 to n,
// newest heaviest), kept as a running weighted sum W and plain sum S that are
// rebuilt exactly after every 16 full turns of the ring. A window that holds
// only copies of one value reads that value: W / D of copies rounds a few
// units in the last place away from the value they all are.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>

#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/copy_run.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

struct WmaWindow {
  BoundedRing<double> ring;  // the last `period` inputs
  std::uint64_t period = 0;
  double weighted_sum = 0.0;  // W
  double sum = 0.0;           // S
  double denominator = 0.0;   // ((n + 1) * n) * 0.5
  double newest_weight = 0.0; // n as f64
  std::uint64_t turns = 0;    // full turns since the last exact re-summation
  CopyCheck copies;           // whether the window holds only copies (clock: wma_clock)

  WmaWindow() = default;  // a placeholder: assign a built window before stepping
  // Unchecked: callers have already refused 0 and lengths above MAX_PERIOD.
  explicit WmaWindow(std::uint64_t n)
      : ring(n),
        period(n),
        denominator(((static_cast<double>(n) + 1.0) * static_cast<double>(n)) * 0.5),
        newest_weight(static_cast<double>(n)) {}

  bool is_full() const { return ring.is_full(); }
};

// A count that moves by one a push from the first push until a re-summation
// restarts `turns`: the inputs held while filling, then `period` a full turn
// plus the slots the current turn has passed. Read only after a repeat.
inline std::uint64_t wma_clock(const WmaWindow& w) {
  if (!w.ring.is_full()) return w.ring.len();
  return w.period * (w.turns + 1) + w.ring.head();
}
// Whether the window, which x has just joined as a copy of the input before
// it, holds only copies of x.
inline bool wma_after_repeat(WmaWindow& w, double x) {
  return w.copies.after_repeat(w.ring, x, wma_clock(w), w.period);
}

// Period checks (0, then MAX_PERIOD), then an empty window.
Result<WmaWindow, IndicatorError> wma_window_new(std::uint64_t n);

// The step while the window is still filling (x finite): S grows; when the
// window becomes full, W is computed exactly from it (the k-th oldest times k,
// from -0.0) and the answer is true.
[[gnu::cold]] bool wma_fill(WmaWindow& w, double x);
// S and W rebuilt exactly in slot order (the ring has just wrapped, so slot 0
// holds the oldest input).
[[gnu::cold]] void wma_resum(WmaWindow& w);

// No value for a NaN or infinite x (nothing changes) or while the window
// holds fewer than `period` inputs; else W / D, or with ReadsCopies x itself
// (a zero as +0.0) while the window holds only copies of x. Without it the
// copies are not counted: for an owner that tells them by a run of its own.
template <bool ReadsCopies>
inline bool wma_step_to(WmaWindow& w, double x, double& read) {
  if (!std::isfinite(x)) return false;
  // Only a push of the input pushed before can leave the window holding
  // only copies.
  bool repeat = false;
  if (w.ring.is_full()) [[likely]] {
    const std::size_t slot = w.ring.head();
    const double evicted = w.ring.replace_oldest(x);
    // In a window of one, x itself: a window of x alone holds only copies.
    if constexpr (ReadsCopies) repeat = x == w.ring.before_slot(slot);
    // Every weight falls by one; the evicted value leaves with weight 1.
    w.weighted_sum = (w.weighted_sum - w.sum) + x * w.newest_weight;
    w.sum = x + (w.sum - evicted);
    // The turn completed while filling is not counted.
    if (w.ring.head() == 0 && ++w.turns == 16) [[unlikely]] wma_resum(w);
  } else {
    if constexpr (ReadsCopies) repeat = w.ring.len() > 0 && x == w.ring.back();
    if (!wma_fill(w, x)) {
      if (repeat) wma_after_repeat(w, x);
      return false;
    }
  }
  read = w.weighted_sum / w.denominator;
  if (repeat) [[unlikely]] {
    if (wma_after_repeat(w, x)) read = copy_read(x);
  }
  return true;
}

// wma_step_to as an optional.
template <bool ReadsCopies>
inline std::optional<double> wma_step(WmaWindow& w, double x) {
  double read;
  if (!wma_step_to<ReadsCopies>(w, x, read)) return std::nullopt;
  return read;
}

inline std::optional<double> wma_update(WmaWindow& w, double x) { return wma_step<true>(w, x); }
// W / D as the sums give it.
inline std::optional<double> wma_sums_update(WmaWindow& w, double x) { return wma_step<false>(w, x); }
// wma_sums_update with its value handed back in `read` (true when there is
// one), for owners that hold one window's value while they step another.
inline bool wma_sums_update_to(WmaWindow& w, double x, double& read) { return wma_step_to<false>(w, x, read); }

}  // namespace fendro
