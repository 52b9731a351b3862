#include "fendro/indicators/levels/volume_weighted_sr.hpp"

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

Result<VolumeWeightedSr, IndicatorError> VolumeWeightedSr::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return VolumeWeightedSr(period);
}

std::optional<double> VolumeWeightedSr::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  high_volume_.push(c->high * c->volume);
  low_volume_.push(c->low * c->volume);
  volume_.push(c->volume);
  high_.push(c->high);
  low_.push(c->low);
  if (!volume_.is_full()) return no_value();
  const double v = volume_.sum();
  if (v > 0.0) return value_out(out_.set(low_volume_.sum() / v, high_volume_.sum() / v));
  const double n = static_cast<double>(period_);
  return value_out(out_.set(low_.sum() / n, high_.sum() / n));
}

}  // namespace fendro
