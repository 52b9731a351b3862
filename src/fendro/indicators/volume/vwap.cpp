#include "fendro/indicators/volume/vwap.hpp"

#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/local_day.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

std::optional<double> Vwap::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const double tp = typical_price(*c);
  const bool flat = flat_.push(tp);
  cum_pv_ = cum_pv_ + c->volume * tp;
  cum_volume_ = cum_volume_ + c->volume;
  if (cum_volume_ == 0.0) return no_value();
  return value_out(flat_read(flat, tp, cum_pv_ / cum_volume_));
}

std::optional<double> SessionVwap::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  // Any change of local day starts a new session, backwards in time too.
  const std::int64_t day = vol::local_day(c->time, offset_);
  if (day_ != day) {
    day_ = day;
    cum_pv_ = 0.0;
    cum_volume_ = 0.0;
    flat_ = CopiesSoFar{};
  }
  const double tp = typical_price(*c);
  const bool flat = flat_.push(tp);
  cum_pv_ = c->volume * tp + cum_pv_;
  cum_volume_ = c->volume + cum_volume_;
  if (cum_volume_ > 0.0) return value_out(flat_read(flat, tp, cum_pv_ / cum_volume_));
  return value_out(tp);
}

Result<RollingVwap, IndicatorError> RollingVwap::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return RollingVwap(period);
}

std::optional<double> RollingVwap::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const double tp = typical_price(*c);
  const double volume = c->volume;  // one load: the pushes' stores may alias the candle
  pv_.push(volume * tp);
  volume_.push(volume);
  copies_.push(tp);
  no_volume_.push(volume);
  if (!volume_.is_full() || volume_.sum() == 0.0) return no_value();
  if (no_volume_.holds_only_zero_copies(pv_.period())) [[unlikely]] return no_value();
  if (copies_.holds_only_copies(pv_.period())) [[unlikely]] return value_out(copy_read(tp));
  return value_out(pv_.sum() / volume_.sum());
}

Result<VwapStdDevBands, IndicatorError> VwapStdDevBands::create(double multiplier) {
  FENDRO_CHECK(check_multiplier(multiplier));
  return VwapStdDevBands(multiplier);
}

std::optional<double> VwapStdDevBands::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const double tp = typical_price(*c);
  if (!anchor_) anchor_ = tp;  // also when this bar has no volume
  const double d = tp - *anchor_;
  const double v = c->volume;
  sum_wd_ = sum_wd_ + v * d;
  sum_wd2_ = v * (d * d) + sum_wd2_;
  sum_volume_ = v + sum_volume_;
  if (sum_volume_ == 0.0) return no_value();
  const double m = sum_wd_ / sum_volume_;
  const double middle = *anchor_ + m;
  const double raw = sum_wd2_ / sum_volume_ - m * m;
  const double stddev = std::sqrt(raw > 0.0 ? raw : 0.0);  // NaN and -0.0 count as 0
  const double spread = stddev * multiplier_;
  return value_out(outputs_.set(middle + spread, middle, middle - spread, stddev));
}

}  // namespace fendro
