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
#include "fendro/indicators/windows/ring_windows.hpp"
#include "fendro/indicators/windows/zero_run.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

struct CmoState {
  std::optional<double> prev;  // previous input
  std::optional<double> last;  // last value
  // The last `period` one-step moves as (up, down) pairs, with their sums
  // in acc_a and acc_b. The sums are only ever adjusted, never rebuilt:
  // every later value inherits their rounding, except that a sum whose
  // window holds no move its way is read as exactly 0.
  PairRingWindow moves;
  ZeroRunPair zeros;
  std::uint64_t period = 0;

  // Unchecked: the caller has refused 0 and lengths above MAX_PERIOD.
  static CmoState of_period(std::uint64_t n) {
    CmoState s;
    s.moves = PairRingWindow{BoundedRing<std::pair<double, double>>(n), n};
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
  double change;
  if (!next_change_to(s.prev, x, change)) return std::nullopt;
  const Move mv = split_move(change);
  s.moves.push(mv.gain, mv.loss);
  s.zeros.push(mv.gain, mv.loss);
  if (!s.moves.ring.is_full()) return std::nullopt;
  const double ups = s.zeros.read_a(s.moves);
  const double downs = s.zeros.read_b(s.moves);
  const double total = ups + downs;
  const double value = total == 0.0 ? 0.0 : ((ups - downs) * 100.0) / total;
  s.last = value;
  return value;
}

}  // namespace fendro
