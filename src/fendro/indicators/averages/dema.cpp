#include "fendro/indicators/averages/dema.hpp"

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

Result<Dema, IndicatorError> Dema::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return Dema(period);
}

std::optional<double> Dema::update(const BarSnapshot& bar) {
  double x;
  if (!finite_close_to(bar, x)) return no_value();
  std::array<double, 2> e;
  if (!ema_chain_update(chain_, x, e)) return no_value();
  return value_out((e[0] + e[0]) - e[1]);
}

}  // namespace fendro
