#include "fendro/indicators/averages/sma.hpp"

#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/bar_close.hpp"

namespace fendro {

Result<Sma, IndicatorError> Sma::create(std::uint64_t period) {
  FENDRO_TRY(w, sma_window_new(period));
  return Sma(std::move(w));
}

std::optional<double> Sma::update(const BarSnapshot& bar) {
  return returned(sma_update(window_, bar_close(bar)));
}

}  // namespace fendro
