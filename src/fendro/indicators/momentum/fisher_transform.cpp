#include "fendro/indicators/momentum/fisher_transform.hpp"

#include <cmath>

#include "fendro/indicators/common/fused.hpp"
#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/util/math.hpp"

namespace fendro {

Result<FisherTransform, IndicatorError> FisherTransform::create(std::uint64_t period) {
  FENDRO_TRY(state, ring_window_state_new(period));
  return FisherTransform(std::move(state));
}

std::optional<double> FisherTransform::update(const BarSnapshot& bar) {
  double close;
  if (!finite_close_to(bar, close)) return no_value();
  const double c = close;
  if (!range_.push(state_.ring, c, c, c)) return no_value();
  // A flat window puts the position at 0, and its smoothing decays into the
  // subnormal numbers and settles there. One test an update, on the smoothed
  // position: below normal (or starting), the value takes the settled path
  // out of line, where the step is skipped once settled.
  double value;
  if (below_normal(state_.state)) [[unlikely]] {
    value = settled_path([](FisherTransform* f, double x) { return f->advance<true>(x); }, this, c);
  } else {
    value = advance<false>(c);
  }
  return value_out(value);
}

template <bool Kept>
double FisherTransform::advance(double c) {
  const double hi = range_.highest();
  const double lo = range_.lowest();
  const double raw = hi - lo > 0.0 ? fused_mul_add((c - lo) / (hi - lo), 2.0, -1.0) : 0.0;
  auto smooth = [](double state, double r) {
    double next = fused_mul_add(r, 0.33, state * 0.67);
    if (next < -0.999) next = -0.999;
    if (next > 0.999) next = 0.999;
    return next;
  };
  double x;
  if constexpr (Kept) {
    x = kept_step(settled_, state_.state, raw, smooth);
  } else {
    x = smooth(state_.state, raw);
  }
  state_.state = x;
  const double prev = state_.last.value_or(0.0);
  const double value = fused_mul_add(0.5, cr::log((1.0 + x) / (1.0 - x)), 0.5 * prev);
  state_.last = value;
  return value;
}

Result<InverseFisherTransform, IndicatorError> InverseFisherTransform::create(double scale) {
  if (!std::isfinite(scale) || scale <= 0.0) {
    return err(IndicatorError::invalid_period("scale must be a positive finite number"));
  }
  return InverseFisherTransform(scale);
}

std::optional<double> InverseFisherTransform::update(const BarSnapshot& bar) {
  double c;
  if (!finite_close_to(bar, c)) return no_value();
  return value_out(cr::tanh(c * scale_));
}

}  // namespace fendro
