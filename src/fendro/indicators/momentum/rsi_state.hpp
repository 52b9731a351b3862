// Wilder's relative strength index as a reusable state and step: the RSI
// family here and every other type that needs an RSI of its own series embed it.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <optional>

#include "fendro/indicators/common/fused.hpp"
#include "fendro/indicators/common/up_share_index.hpp"
#include "fendro/indicators/momentum/moves.hpp"
#include "fendro/indicators/windows/halt_hold.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/indicators/windows/settled_step.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

struct RsiState {
  std::uint64_t period = 0;  // 1 ..= MAX_PERIOD, checked by `rsi_state_new`
  double n_minus_1 = 0.0;    // (period - 1) as f64
  double inv_n = 0.0;        // 1 / period
  // The seed is the mean of the first `period` moves; their running sums,
  // added oldest first from -0.0, equal the sums of the full seed lists.
  double gain_seed_sum = -0.0;
  double loss_seed_sum = -0.0;
  std::uint64_t seed_count = 0;
  std::optional<double> prev;  // previous input; set by the first finite one
  double avg_gain = 0.0;
  double avg_loss = 0.0;
  bool seeded = false;
  std::array<SettledStep, 2> settled;  // gain and loss: the steps skipped once settled
  SettledValue<2> settled_value;       // the index, kept for averages below normal
  HaltHold halt;                       // the index, held through a halt

  // Unchecked: the caller has refused 0 and lengths above MAX_PERIOD.
  static RsiState of_period(std::uint64_t n) {
    RsiState s;
    s.period = n;
    s.n_minus_1 = static_cast<double>(n - 1);
    s.inv_n = 1.0 / static_cast<double>(n);
    return s;
  }
};

// 0 gives ZeroPeriod, above MAX_PERIOD InvalidPeriod.
inline Result<RsiState, IndicatorError> rsi_state_new(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return RsiState::of_period(period);
}

// One Wilder step of an average: (avg * (n - 1) + x) rounded once, then
// scaled by the stored 1 / n.
inline double rsi_smooth(const RsiState& s, double avg, double x) {
  return fused_mul_add(avg, s.n_minus_1, x) * s.inv_n;
}

// The settled path of rsi_wilder_update (see settled_path).
inline double rsi_settled_update(RsiState& s, double gain, double loss) {
  const auto wilder = [&s](double avg, double x) { return rsi_smooth(s, avg, x); };
  const auto index = [](double up, double down) { return up_share_index(up, down); };
  return kept_pair(s.settled, s.settled_value, wilder, index, s.avg_gain, gain, s.avg_loss, loss);
}

// One input. Non-finite input: no value, state untouched. The first input only
// primes; the first value comes with input period + 1. Smoothing is
// (avg * (n - 1) + move) rounded once, then scaled by the stored 1 / n.
// A window without any move gives 50. Through a halt the index is held as
// it stood once the halt had lasted the period (HaltHold). True when there
// is a value, handed back in `read`: an owner that steps more after it
// keeps the value out of memory.
inline bool rsi_wilder_update_to(RsiState& s, double x, double& read) {
  if (!std::isfinite(x)) return false;
  double change;
  if (!next_change_to(s.prev, x, change)) return false;
  const Move mv = split_move(change);
  s.halt.push(change == 0.0);
  // One test for both averages, which are 0 until seeded: settled below
  // normal, they take the settled path out of line; seeding, the seeding
  // steps (out of the way too); a normal one has been seeded.
  if (all_below_normal(s.avg_gain, s.avg_loss)) [[unlikely]] {
    if (s.seeded) {
      const double v = settled_path(
          [](RsiState* r, double gain, double loss) { return rsi_settled_update(*r, gain, loss); },
          &s, mv.gain, mv.loss);
      read = s.halt.read(v, s.period);
      return true;
    }
    s.gain_seed_sum = mv.gain + s.gain_seed_sum;
    s.loss_seed_sum = mv.loss + s.loss_seed_sum;
    if (++s.seed_count < s.period) return false;
    const double n = static_cast<double>(s.period);
    s.avg_gain = s.gain_seed_sum / n;
    s.avg_loss = s.loss_seed_sum / n;
    s.seeded = true;
  } else {
    s.avg_gain = rsi_smooth(s, s.avg_gain, mv.gain);
    s.avg_loss = rsi_smooth(s, s.avg_loss, mv.loss);
  }
  read = s.halt.read(up_share_index(s.avg_gain, s.avg_loss), s.period);
  return true;
}

// rsi_wilder_update_to as an optional.
inline std::optional<double> rsi_wilder_update(RsiState& s, double x) {
  double read;
  if (!rsi_wilder_update_to(s, x, read)) return std::nullopt;
  return read;
}

}  // namespace fendro
