#include "fendro/indicators/averages/dema.hpp"

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

Result<Dema, IndicatorError> Dema::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return Dema(period);
}

std::optional<double> Dema::update(const BarSnapshot& bar) {
  const std::optional<double> x = finite_close(bar);
  if (!x) return std::nullopt;
  const std::optional<double> e1 = ema_update(e1_, *x);
  if (!e1 || !std::isfinite(*e1)) return std::nullopt;
  const std::optional<double> e2 = ema_update(e2_, *e1);
  if (!e2) return std::nullopt;
  return (*e1 + *e1) - *e2;
}

}  // namespace fendro
