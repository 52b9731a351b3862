#include "fendro/indicators/averages/linreg_channel.hpp"

#include <cmath>

#include "fendro/indicators/windows/bar_close.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

Result<LinRegChannel, IndicatorError> LinRegChannel::create(std::uint64_t period,
                                                            double multiplier) {
  FENDRO_CHECK(check_period_min_first(period, 2, "linear regression channel needs period >= 2"));
  if (!(multiplier > 0.0) || !std::isfinite(multiplier)) {
    return err(IndicatorError::non_positive_multiplier());
  }
  return LinRegChannel(period, multiplier);
}

std::optional<double> LinRegChannel::update(const BarSnapshot& bar) {
  const std::optional<DeviationSums> fit = refit_push(closes_, bar_close(bar), k_.n);
  if (!fit) return std::nullopt;
  // The line in deviations from the window's mean.
  const DeviationSums& s = *fit;
  const double b = (s.sxy * k_.n - s.sy * k_.sx) / k_.den;
  const double a = (s.sy - k_.sx * b) / k_.n;
  double ssr = 0.0;
  double i = 0.0;
  closes_.for_each([&](double v) {
    const double e = (v - s.mean) - (a + b * i);
    ssr = ssr + e * e;
    i = i + 1.0;
  });
  const double se = std::sqrt(ssr / k_.n);
  const double middle = (k_.n - 1.0) * b + (s.mean + a);
  const double band = se * multiplier_;
  return outputs_.set(middle + band, middle, middle - band);
}

}  // namespace fendro
