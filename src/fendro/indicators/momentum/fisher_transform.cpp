#include "fendro/indicators/momentum/fisher_transform.hpp"

#include <cmath>

#include "fendro/indicators/common/fused.hpp"
#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/util/math.hpp"

namespace fendro {

Result<FisherTransform, IndicatorError> FisherTransform::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return FisherTransform(period);
}

std::optional<double> FisherTransform::update(const BarSnapshot& bar) {
  const std::optional<double> close = finite_close(bar);
  if (!close) return no_value();
  const double c = *close;
  hi_.push(c);
  lo_.push(c);
  if (hi_.count() < period_) return no_value();
  const double hi = hi_.value();
  const double lo = lo_.value();
  const double raw = hi - lo > 0.0 ? fused_mul_add((c - lo) / (hi - lo), 2.0, -1.0) : 0.0;
  double x = fused_mul_add(raw, 0.33, x_ * 0.67);
  if (x < -0.999) x = -0.999;
  if (x > 0.999) x = 0.999;
  x_ = x;
  prev_ = fused_mul_add(0.5, cr::log((1.0 + x) / (1.0 - x)), 0.5 * prev_);
  return value_out(prev_);
}

Result<InverseFisherTransform, IndicatorError> InverseFisherTransform::create(double scale) {
  if (!std::isfinite(scale) || scale <= 0.0) {
    return err(IndicatorError::invalid_period("scale must be a positive finite number"));
  }
  return InverseFisherTransform(scale);
}

std::optional<double> InverseFisherTransform::update(const BarSnapshot& bar) {
  const std::optional<double> c = finite_close(bar);
  if (!c) return no_value();
  return value_out(cr::tanh(*c * scale_));
}

}  // namespace fendro
