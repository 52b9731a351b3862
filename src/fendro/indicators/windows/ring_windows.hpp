// The small window shapes that many indicator types embed: a bounded ring of
// recent inputs plus a few running values of the user's own. Each constructor
// checks the length (0, then MAX_PERIOD) and builds the shape empty; the ring
// grows with the inputs actually pushed, up to its capacity.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>

#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/market/records.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// Capacity n + 1: once full, front() is the input n accepted inputs before
// back(), the value n bars back.
struct LagRing {
  std::optional<double> last;  // the user's last value (absent at first)
  BoundedRing<double> ring;
  std::uint64_t period = 0;
};

// Capacity n.
struct RingWindow {
  BoundedRing<double> ring;
  std::uint64_t period = 0;
};

// Capacity n, whole candles.
struct CandleWindow {
  BoundedRing<Candle> ring;
  std::uint64_t period = 0;
};

// Capacity n, two running values of the user's own (0.0 at first).
struct RingWindowSums {
  BoundedRing<double> ring;
  std::uint64_t period = 0;
  double acc_a = 0.0;
  double acc_b = 0.0;
};

// Capacity n of (f64, f64) pairs, two running sums (0.0 at first).
struct PairRingWindow {
  BoundedRing<std::pair<double, double>> ring;
  std::uint64_t period = 0;
  double acc_a = 0.0;
  double acc_b = 0.0;

  // The pair (a, b) in, its parts summed into the accumulators: once n pairs
  // are held the oldest leaves the sums first, then the new one goes in.
  void push(double a, double b) {
    if (const auto old = ring.push({a, b})) {
      acc_a = acc_a - old->first;
      acc_b = acc_b - old->second;
    }
    acc_a = acc_a + a;
    acc_b = acc_b + b;
  }
};

// Capacity n, one optional value and one state word (0.0 at first).
struct RingWindowState {
  std::optional<double> last;
  BoundedRing<double> ring;
  std::uint64_t period = 0;
  double state = 0.0;
};

// Capacity n, two optional values and two state words (zero at first): a
// running value and a push counter for the users' periodic exact re-sums.
struct AnchoredRingWindow {
  std::optional<double> prev;
  std::optional<double> last;
  BoundedRing<double> ring;
  std::uint64_t period = 0;
  double acc = 0.0;
  std::uint64_t pushes = 0;
};

Result<LagRing, IndicatorError> lag_ring_new(std::uint64_t n);
Result<RingWindow, IndicatorError> ring_window_new(std::uint64_t n);
Result<CandleWindow, IndicatorError> candle_window_new(std::uint64_t n);
Result<RingWindowSums, IndicatorError> ring_window_sums_new(std::uint64_t n);
Result<PairRingWindow, IndicatorError> pair_ring_window_new(std::uint64_t n);
Result<RingWindowState, IndicatorError> ring_window_state_new(std::uint64_t n);
Result<AnchoredRingWindow, IndicatorError> anchored_ring_window_new(std::uint64_t n);

}  // namespace fendro
