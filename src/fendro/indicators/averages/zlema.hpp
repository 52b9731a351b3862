// Zero-lag exponential average: the average of 2x minus the input L bars
// back, L = floor((n - 1) / 2), which cancels most of the average's lag.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>

#include "fendro/indicators/common/fused.hpp"
#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/ema_state.hpp"

namespace fendro {

struct ZlemaState {
  BoundedRing<double> inputs;  // the last lag + 1 inputs, oldest first
  EmaState ema;                // period n
  std::uint64_t period = 0;
  std::uint64_t lag = 0;

  ZlemaState() = default;
  // Unchecked: callers have already refused 0 and lengths above MAX_PERIOD.
  explicit ZlemaState(std::uint64_t n)
      : inputs((n - 1) / 2 + 1), ema(EmaState::of_period(n)), period(n), lag((n - 1) / 2) {}
};

// Period checks (0, then MAX_PERIOD), then an empty state.
Result<ZlemaState, IndicatorError> zlema_state_new(std::uint64_t n);

// The step of zlema_update, with the average stepped by update(ema, y).
template <class Update>
inline std::optional<double> zlema_step(ZlemaState& s, double x, Update update) {
  if (!std::isfinite(x)) return std::nullopt;
  s.inputs.push(x);
  if (!s.inputs.is_full()) return std::nullopt;
  const double y = fused_mul_add(2.0, x, -s.inputs.front());
  if (!std::isfinite(y)) return std::nullopt;
  return update(s.ema, y);
}

// No value for a NaN or infinite x (nothing changes) or until lag + 1 inputs
// are held. Then y = 2x - (the input lag bars back) with one rounding; a y
// that overflows gives no value (the ring keeps x), else the average's step.
inline std::optional<double> zlema_update(ZlemaState& s, double x) {
  return zlema_step(s, x, [](EmaState& e, double y) { return ema_update(e, y); });
}

// zlema_update of a series that falls to 0 on a halted market (a difference
// of averages): its average steps as ema_update_settled.
inline std::optional<double> zlema_update_settled(ZlemaState& s, double x) {
  return zlema_step(s, x, [](EmaState& e, double y) { return ema_update_settled(e, y); });
}

class Zlema final : public Indicator {
 public:
  // 0 gives ZeroPeriod, then a period above MAX_PERIOD InvalidPeriod.
  static Result<Zlema, IndicatorError> create(std::uint64_t period);

  std::optional<double> update(const BarSnapshot& bar) override;
  // n + L: the first de-lagged input comes on bar L + 1, the average needs n.
  std::uint64_t warmup_period() const override { return state_.period + state_.lag; }

 private:
  explicit Zlema(ZlemaState s) : state_(std::move(s)) {}
  ZlemaState state_;
};

}  // namespace fendro
