#include "fendro/indicators/averages/tema.hpp"

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

Result<Tema, IndicatorError> Tema::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return Tema(period);
}

std::optional<double> Tema::update(const BarSnapshot& bar) {
  const std::optional<double> x = finite_close(bar);
  if (!x) return std::nullopt;
  const std::optional<double> e1 = ema_update(e1_, *x);
  if (!e1 || !std::isfinite(*e1)) return std::nullopt;
  const std::optional<double> e2 = ema_update(e2_, *e1);
  if (!e2 || !std::isfinite(*e2)) return std::nullopt;
  const std::optional<double> e3 = ema_update(e3_, *e2);
  if (!e3) return std::nullopt;
  return ((3.0 * *e1) - (3.0 * *e2)) + *e3;
}

}  // namespace fendro
