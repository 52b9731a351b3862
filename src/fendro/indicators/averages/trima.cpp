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
  double x;
  if (!finite_close_to(bar, x)) return no_value();
  double inner;
  double outer;
  if (!sma_update_to(first_, x, inner) || !sma_update_to(second_, inner, outer)) return no_value();
  return value_out(outer);
}

}  // namespace fendro
