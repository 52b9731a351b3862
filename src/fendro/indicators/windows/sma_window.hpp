// The arithmetic mean of the last n finite inputs, kept as a running sum that
// is rebuilt exactly from the window every 16n inputs so rounding drift cannot
// accumulate. A window that holds only copies of one value reads that value:
// n copies of 0.3 sum to 5.999999999999999 in twenty adds, and a mean a few
// units in the last place off the price it averages would put a flat
// market's close above its own average.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <utility>

#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/copy_run.hpp"
#include "fendro/indicators/windows/settled_step.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"
#include "fendro/util/saturating.hpp"

namespace fendro {

struct SmaWindow {
  BoundedRing<double> ring;     // the last `period` inputs, oldest first
  std::uint64_t period = 0;
  double sum = 0.0;             // running sum of the ring
  std::uint64_t pushes = 0;     // inputs since the last exact re-summation
  std::uint64_t resum_every = 0;
  double divisor = 0.0;  // period as f64
  CopyCheck copies;      // whether the window holds only copies (clock: pushes)

  SmaWindow() = default;  // a placeholder: assign a built window before stepping
  // Unchecked: callers have already refused 0 and lengths above MAX_PERIOD.
  explicit SmaWindow(std::uint64_t n)
      : ring(n), period(n), resum_every(sat_mul(16, n)), divisor(static_cast<double>(n)) {}

  std::size_t count() const { return ring.len(); }
  bool is_full() const { return ring.is_full(); }
};

// Period checks (0, then MAX_PERIOD), then an empty window.
Result<SmaWindow, IndicatorError> sma_window_new(std::uint64_t n);
// The same window, for the types whose constructor the system calls by this name.
inline Result<SmaWindow, IndicatorError> zeroed_ring_new(std::uint64_t n) {
  return sma_window_new(n);
}

// Replaces the running sum by the exact sum of the window, oldest to newest,
// starting from -0.0.
[[gnu::cold]] void sma_resum(SmaWindow& w);
// The step while the window is still filling (x finite); true once full.
[[gnu::cold]] bool sma_fill(SmaWindow& w, double x);

// The mean of a full window from its own entries, summed oldest to newest,
// a zero read as +0.0: free of the residue the running sum keeps of the
// entries it has dropped (left as it is). A window of copies reads the
// copied value, as sma_step does.
[[gnu::cold]] double sma_exact_mean(const SmaWindow& w);

// The running sum once x has replaced `evicted` in a full window.
inline double sma_slide(double sum, double x, double evicted) { return x + (sum - evicted); }

// The step of sma_update, with the mean taken by mean(sum, divisor), or x
// itself (a zero as +0.0, what a sum of zeros gives) where the window holds
// only copies of x, which only a push of the value pushed before can bring
// about. True when there is a value, handed back in `read`.
template <class Mean>
inline bool sma_step_to(SmaWindow& w, double x, Mean mean, double& read) {
  if (!std::isfinite(x)) return false;
  if (w.ring.is_full()) [[likely]] {
    const std::size_t slot = w.ring.head();
    const double evicted = w.ring.replace_oldest(x);
    // In a window of one, x itself: a window of x alone holds only copies.
    const double prev = w.ring.before_slot(slot);
    w.sum = sma_slide(w.sum, x, evicted);
    if (++w.pushes >= w.resum_every) [[unlikely]] sma_resum(w);
    read = mean(w.sum, w.divisor);
    if (x == prev) [[unlikely]] {
      if (w.copies.after_repeat(w.ring, x, w.pushes, w.period)) read = copy_read(x);
    }
    return true;
  }
  const bool repeat = w.ring.len() > 0 && x == w.ring.back();
  if (!sma_fill(w, x)) {
    if (repeat) w.copies.after_repeat(w.ring, x, w.pushes, w.period);
    return false;
  }
  // The window has just filled: its first mean, or the value over copies.
  read = mean(w.sum, w.divisor);
  if (repeat && w.copies.after_repeat(w.ring, x, w.pushes, w.period)) read = copy_read(x);
  return true;
}

template <class Mean>
inline std::optional<double> sma_step(SmaWindow& w, double x, Mean mean) {
  double read;
  if (!sma_step_to(w, x, mean, read)) return std::nullopt;
  return read;
}

// sma_update with its value handed back in `read` (true when there is one):
// for owners that hold one window's mean while they step another, where GCC
// keeps a held optional in memory and reads its flag back through a narrower
// write on every bar.
inline bool sma_update_to(SmaWindow& w, double x, double& read) {
  return sma_step_to(w, x, [](double sum, double divisor) { return sum / divisor; }, read);
}

// No value for a NaN or infinite x (nothing changes) or while the window
// holds fewer than `period` inputs; else sum / period.
inline std::optional<double> sma_update(SmaWindow& w, double x) {
  return sma_step(w, x, [](double sum, double divisor) { return sum / divisor; });
}

// sma_update of a series that settles in the subnormal numbers (an average
// of moves on a flat stretch): while the sum is below normal, the mean last
// computed from the same bits of the sum and the divisor.
inline std::optional<double> sma_update_settled(SmaWindow& w, SettledValue<2>& kept, double x) {
  return sma_step(w, x, [&kept](double sum, double divisor) {
    const auto mean = [](double s, double d) { return s / d; };
    return settled_apply(kept, below_normal(sum), mean, sum, divisor);
  });
}

// sma_update_settled on an owner's settled path (see settled_path): the mean
// kept for the bits of the sum and the divisor; or sma_update (Kept false).
template <bool Kept>
inline std::optional<double> sma_update_as(SmaWindow& w, SettledValue<2>& kept, double x) {
  if constexpr (Kept) {
    return sma_step(w, x, [&kept](double sum, double divisor) {
      return kept_apply(kept, [](double s, double d) { return s / d; }, sum, divisor);
    });
  } else {
    return sma_update(w, x);
  }
}

}  // namespace fendro
