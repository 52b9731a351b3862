#include "fendro/indicators/averages/zlema.hpp"

#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/bar_close.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

Result<ZlemaState, IndicatorError> zlema_state_new(std::uint64_t n) {
  FENDRO_CHECK(check_period(n));
  return ZlemaState(n);
}

Result<Zlema, IndicatorError> Zlema::create(std::uint64_t period) {
  FENDRO_TRY(s, zlema_state_new(period));
  return Zlema(std::move(s));
}

std::optional<double> Zlema::update(const BarSnapshot& bar) {
  return returned(zlema_update(state_, bar_close(bar)));
}

}  // namespace fendro
