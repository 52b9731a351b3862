#include "fendro/indicators/averages/smma.hpp"

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

Result<Smma, IndicatorError> Smma::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return Smma(period);
}

std::optional<double> Smma::update(const BarSnapshot& bar) {
  const std::optional<double> x = finite_close(bar);
  if (!x) return no_value();
  return returned(smma_update(state_, *x));
}

}  // namespace fendro
