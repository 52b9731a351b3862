#include "fendro/indicators/averages/trima.hpp"

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

Result<Trima, IndicatorError> Trima::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return Trima(period);
}

std::optional<double> Trima::update(const BarSnapshot& bar) {
  const std::optional<double> x = finite_close(bar);
  if (!x) return std::nullopt;
  const std::optional<double> inner = sma_update(first_, *x);
  if (!inner) return std::nullopt;
  return sma_update(second_, *inner);
}

}  // namespace fendro
