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
  high_copies_.push(c->high);
  low_copies_.push(c->low);
  no_volume_.push(c->volume);
  if (!volume_.is_full()) return no_value();
  const double v = no_volume_.holds_only_zero_copies(period_) ? 0.0 : volume_.sum();
  const double n = static_cast<double>(period_);
  double support = v > 0.0 ? low_volume_.sum() / v : low_.sum() / n;
  double resistance = v > 0.0 ? high_volume_.sum() / v : high_.sum() / n;
  if (low_copies_.holds_only_copies(period_)) [[unlikely]] support = copy_read(c->low);
  if (high_copies_.holds_only_copies(period_)) [[unlikely]] resistance = copy_read(c->high);
  return value_out(out_.set(support, resistance));
}

}  // namespace fendro
