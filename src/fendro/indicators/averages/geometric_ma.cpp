#include "fendro/indicators/averages/geometric_ma.hpp"

#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/bar_close.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/util/math.hpp"

namespace fendro {

Result<GeometricMa, IndicatorError> GeometricMa::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return GeometricMa(period);
}

std::optional<double> GeometricMa::update(const BarSnapshot& bar) {
  const double x = bar_close(bar);
  if (!positive_finite(x)) return no_value();
  const double l = cr::log(x);
  logs_.push(l);
  if (!logs_.is_full()) return no_value();
  return value_out(cr::exp(logs_.sum() / static_cast<double>(logs_.period())));
}

}  // namespace fendro
