#include "fendro/indicators/averages/linear_regression.hpp"

#include <cmath>

#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/bar_close.hpp"
#include "fendro/util/math.hpp"

namespace fendro {
namespace {

constexpr double kDegreesPerRadian = 57.29577951308232;

constexpr std::string_view short_period_reason(LineReading r) {
  switch (r) {
    case LineReading::Newest: return "linear regression needs period >= 2";
    case LineReading::Slope:
    case LineReading::Angle: return "linear regression slope needs period >= 2";
    case LineReading::Intercept: return "linear regression intercept needs period >= 2";
    case LineReading::Forecast: return "time series forecast needs period >= 2";
  }
  return {};
}

}  // namespace

template <LineReading R>
Result<RegressionLine<R>, IndicatorError> RegressionLine<R>::create(std::uint64_t period) {
  FENDRO_TRY(w, regression_window_new(period, short_period_reason(R)));
  return RegressionLine(std::move(w));
}

template <LineReading R>
std::optional<double> RegressionLine<R>::update(const BarSnapshot& bar) {
  const double y = bar_close(bar);
  if constexpr (R == LineReading::Newest) {
    return returned(linreg_update(window_, y));
  } else if constexpr (R == LineReading::Slope) {
    return returned(linreg_slope_update(window_, y));
  } else if constexpr (R == LineReading::Angle) {
    const std::optional<double> slope = linreg_slope_update(window_, y);
    if (!slope) return no_value();
    return value_out(cr::atan(*slope) * kDegreesPerRadian);
  } else if constexpr (R == LineReading::Intercept) {
    const std::optional<RegressionFit> f = regression_push(window_, y);
    if (!f) return no_value();
    return value_out(f->intercept);
  } else {
    return returned(tsf_update(window_, y));
  }
}

template class RegressionLine<LineReading::Newest>;
template class RegressionLine<LineReading::Slope>;
template class RegressionLine<LineReading::Angle>;
template class RegressionLine<LineReading::Intercept>;
template class RegressionLine<LineReading::Forecast>;

Result<TsfOscillator, IndicatorError> TsfOscillator::create(std::uint64_t period) {
  FENDRO_TRY(w, regression_window_new(period, "TSF oscillator needs period >= 2"));
  return TsfOscillator(std::move(w));
}

std::optional<double> TsfOscillator::update(const BarSnapshot& bar) {
  const double x = bar_close(bar);
  const std::optional<double> f = tsf_update(window_, x);
  if (!f) return no_value();
  if (x == 0.0) return returned(value_);  // no percentage of a zero close
  value_ = ((x - *f) * 100.0) / x;
  return returned(value_);
}

}  // namespace fendro
