#include "fendro/indicators/averages/tema.hpp"

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

Result<Tema, IndicatorError> Tema::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return Tema(period);
}

std::optional<double> Tema::update(const BarSnapshot& bar) {
  double x;
  if (!finite_close_to(bar, x)) return no_value();
  std::array<double, 3> e;
  if (!ema_chain_update(chain_, x, e)) return no_value();
  return value_out(((3.0 * e[0]) - (3.0 * e[1])) + e[2]);
}

}  // namespace fendro
