#include "fendro/indicators/averages/wma.hpp"

#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/bar_close.hpp"

namespace fendro {

Result<Wma, IndicatorError> Wma::create(std::uint64_t period) {
  FENDRO_TRY(w, wma_window_new(period));
  return Wma(std::move(w));
}

std::optional<double> Wma::update(const BarSnapshot& bar) {
  return returned(wma_update(window_, bar_close(bar)));
}

}  // namespace fendro
