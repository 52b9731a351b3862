#include "fendro/indicators/averages/trima.hpp"

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

Result<Trima, IndicatorError> Trima::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return Trima(period);
}

std::optional<double> Trima::update(const BarSnapshot& bar) {
  const std::optional<double> x = finite_close(bar);
  if (!x) return no_value();
  const std::optional<double> inner = sma_update(first_, *x);
  if (!inner) return no_value();
  return returned(sma_update(second_, *inner));
}

}  // namespace fendro
