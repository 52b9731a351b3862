#include "fendro/indicators/averages/ema.hpp"

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"

namespace fendro {

Result<Ema, IndicatorError> Ema::create(std::uint64_t period) {
  FENDRO_TRY(s, ema_state_new(period));
  return Ema(s);
}

std::optional<double> Ema::update(const BarSnapshot& bar) {
  const std::optional<double> x = finite_close(bar);
  if (!x) return no_value();
  return returned(ema_update(state_, *x));
}

}  // namespace fendro
