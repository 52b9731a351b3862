#include "fendro/indicators/volume/volume_candles.hpp"

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"

namespace fendro {

template <bool Body>
Result<VolumeBox<Body>, IndicatorError> VolumeBox<Body>::create(std::uint64_t period) {
  FENDRO_TRY(window, zeroed_ring_new(period));
  return VolumeBox(std::move(window));
}

template <bool Body>
std::optional<double> VolumeBox<Body>::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const auto average = sma_update(volumes_, c->volume);
  if (!average) return no_value();
  const double height = Body ? c->close - c->open : c->high - c->low;
  const double width = *average > 0.0 ? c->volume / *average : 0.0;
  return value_out(outputs_.set(height, width));
}

template class VolumeBox<true>;
template class VolumeBox<false>;

}  // namespace fendro
