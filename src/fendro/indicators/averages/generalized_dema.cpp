#include "fendro/indicators/averages/generalized_dema.hpp"

#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

Result<GeneralizedDema, IndicatorError> GeneralizedDema::create(std::uint64_t period,
                                                                double volume_factor) {
  FENDRO_CHECK(check_period(period));
  if (!(volume_factor >= 0.0 && volume_factor <= 1.0)) {
    return err(IndicatorError::invalid_period("GD volume factor must be a finite value in [0.0, 1.0]"));
  }
  return GeneralizedDema(period, volume_factor);
}

std::optional<double> GeneralizedDema::update(const BarSnapshot& bar) {
  const std::optional<double> x = finite_close(bar);
  if (!x) return std::nullopt;
  const std::optional<double> e1 = ema_update(first_, *x);
  if (!e1 || !std::isfinite(*e1)) return std::nullopt;
  const std::optional<double> e2 = ema_update(second_, *e1);
  if (!e2) return std::nullopt;
  return *e1 * (1.0 + v_) - *e2 * v_;
}

}  // namespace fendro
