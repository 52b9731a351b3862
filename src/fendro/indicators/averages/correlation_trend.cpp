#include "fendro/indicators/averages/correlation_trend.hpp"

#include <algorithm>
#include <cmath>

#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/bar_close.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

Result<CorrelationTrendIndicator, IndicatorError> CorrelationTrendIndicator::create(
    std::uint64_t period) {
  FENDRO_CHECK(check_period_min_first(period, 2, "CTI needs period >= 2"));
  return CorrelationTrendIndicator(period);
}

std::optional<double> CorrelationTrendIndicator::update(const BarSnapshot& bar) {
  const std::optional<DeviationSums> fit = refit_push(closes_, bar_close(bar), k_.n);
  if (!fit) return no_value();
  const DeviationSums& s = *fit;
  const double q = k_.d * (s.syy * k_.n - s.sy * s.sy);
  if (q == 0.0) return value_out(0.0);  // a flat window has no correlation
  const double r = (s.sxy * k_.n - k_.sx * s.sy) / std::sqrt(q);
  return value_out(std::clamp(r, -1.0, 1.0));
}

}  // namespace fendro
