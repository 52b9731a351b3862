#include "fendro/indicators/averages/ema.hpp"

#include "fendro/indicators/windows/bar_close.hpp"

namespace fendro {

Result<Ema, IndicatorError> Ema::create(std::uint64_t period) {
  FENDRO_TRY(s, ema_state_new(period));
  return Ema(s);
}

std::optional<double> Ema::update(const BarSnapshot& bar) {
  const double x = bar_close(bar);
  if (!std::isfinite(x)) return std::nullopt;
  return ema_update(state_, x);
}

}  // namespace fendro
