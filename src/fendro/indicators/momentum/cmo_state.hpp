// Chande's momentum oscillator as a reusable state and step: the sum of up
// moves against the sum of down moves over the last `period` moves.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <utility>

#include "fendro/indicators/momentum/moves.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// The last n (up, down) move pairs with their running sums. The sums are only
// ever adjusted, never rebuilt: every later value inherits their rounding.
struct UpDownWindow {
  BoundedRing<std::pair<double, double>> pairs;
  double up_sum = 0.0;
  double down_sum = 0.0;

  UpDownWindow() = default;
  explicit UpDownWindow(std::uint64_t n) : pairs(n) {}

  // Once n pairs are held the oldest leaves the sums first.
  void push(double up, double down) {
    if (const auto old = pairs.push({up, down})) {
      up_sum = up_sum - old->first;
      down_sum = down_sum - old->second;
    }
    up_sum = up_sum + up;
    down_sum = down_sum + down;
  }
  bool is_full() const { return pairs.is_full(); }
};

struct CmoState {
  std::optional<double> prev;  // previous input
  std::optional<double> last;  // last value
  UpDownWindow moves;          // the last `period` one-step moves
  std::uint64_t period = 0;

  // Unchecked: the caller has refused 0 and lengths above MAX_PERIOD.
  static CmoState of_period(std::uint64_t n) {
    CmoState s;
    s.moves = UpDownWindow(n);
    s.period = n;
    return s;
  }
};

// 0 gives ZeroPeriod, above MAX_PERIOD InvalidPeriod.
inline Result<CmoState, IndicatorError> cmo_state_new(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return CmoState::of_period(period);
}

// One input. Non-finite input: no value, state untouched. The first input only
// primes; the first value comes with input period + 1. A window without any
// move gives 0.
inline std::optional<double> cmo_update(CmoState& s, double x) {
  if (!std::isfinite(x)) return std::nullopt;
  const auto change = next_change(s.prev, x);
  if (!change) return std::nullopt;
  const Move mv = split_move(*change);
  s.moves.push(mv.gain, mv.loss);
  if (!s.moves.is_full()) return std::nullopt;
  const double ups = s.moves.up_sum;
  const double downs = s.moves.down_sum;
  const double total = ups + downs;
  const double value = total == 0.0 ? 0.0 : ((ups - downs) * 100.0) / total;
  s.last = value;
  return value;
}

}  // namespace fendro
