#include "fendro/indicators/averages/smma.hpp"

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"

namespace fendro {

Result<Smma, IndicatorError> Smma::create(std::uint64_t period) {
  FENDRO_TRY(state, ring_window_state_new(period));
  return Smma(std::move(state));
}

std::optional<double> Smma::update(const BarSnapshot& bar) {
  double x;
  if (!finite_close_to(bar, x)) return no_value();
  const double n = static_cast<double>(state_.period);
  const bool flat = flat_.push(x);
  if (state_.last) {
    double& value = *state_.last;
    value = smma_step(value, x, n);
    return value_out(flat_read(flat, x, value));
  }
  state_.state = x + state_.state;
  state_.ring.push(x);
  if (!state_.ring.is_full()) return no_value();
  state_.last = state_.state / n;
  return value_out(flat_read(flat, x, *state_.last));
}

}  // namespace fendro
