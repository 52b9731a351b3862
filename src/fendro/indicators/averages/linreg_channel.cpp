#include "fendro/indicators/averages/linreg_channel.hpp"

#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/util/run_scope.hpp"
#include "fendro/indicators/windows/bar_close.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

Result<LinRegChannel, IndicatorError> LinRegChannel::create(std::uint64_t period,
                                                            double multiplier) {
  FENDRO_CHECK(check_period_min_first(period, 2, "linear regression channel needs period >= 2"));
  FENDRO_CHECK(check_multiplier(multiplier));
  return LinRegChannel(period, multiplier);
}

std::optional<double> LinRegChannel::update(const BarSnapshot& bar) {
  const std::optional<DeviationSums> fit = refit_push(closes_, bar_close(bar), k_.n);
  if (!fit) return no_value();
  // The line in deviations from the window's mean.
  const DeviationSums& s = *fit;
  const double b = fit_slope(k_, s.sy, s.sxy);
  const double a = fit_intercept(k_, s.sy, b);
  // The residuals: about a step a value.
  if (stop_before(closes_.len())) return no_value();
  const double se = std::sqrt(residual_squares(closes_, s.mean, a, b) / k_.n);
  const double middle = (k_.n - 1.0) * b + (s.mean + a);
  const double band = se * multiplier_;
  return value_out(outputs_.set(middle + band, middle, middle - band));
}

}  // namespace fendro
