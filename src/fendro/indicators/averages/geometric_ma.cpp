#include "fendro/indicators/averages/geometric_ma.hpp"

#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/bar_close.hpp"
#include "fendro/indicators/windows/running_sum.hpp"
#include "fendro/util/math.hpp"

namespace fendro {

Result<GeometricMa, IndicatorError> GeometricMa::create(std::uint64_t period) {
  FENDRO_TRY(logs, ring_window_sums_new(period));
  return GeometricMa(std::move(logs));
}

std::optional<double> GeometricMa::update(const BarSnapshot& bar) {
  const double x = bar_close(bar);
  if (!positive_finite(x)) return no_value();
  const double l = cr::log(x);
  push_resumming(logs_.ring, logs_.acc_a, logs_.acc_b, l);
  copies_.push(x);
  if (!logs_.ring.is_full()) return no_value();
  // The geometric mean of copies is the copy; exp of a mean of logs only
  // comes back to it within rounding.
  if (copies_.holds_only_copies(logs_.period)) [[unlikely]] return value_out(x);
  return value_out(cr::exp(logs_.acc_a / static_cast<double>(logs_.period)));
}

}  // namespace fendro
