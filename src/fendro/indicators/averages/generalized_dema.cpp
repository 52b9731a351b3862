#include "fendro/indicators/averages/generalized_dema.hpp"

#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
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
  double x;
  if (!finite_close_to(bar, x)) return no_value();
  std::array<double, 2> e;
  if (!ema_chain_update(chain_, x, e)) return no_value();
  // Two stages that read one value e (fed only copies of x, both read x):
  // (1 + v) e - v e is e exactly, which its rounded form is not.
  if (all_equal({e[0], e[1]})) [[unlikely]] return value_out(copy_read(e[0]));
  return value_out(e[0] * (1.0 + v_) - e[1] * v_);
}

}  // namespace fendro
