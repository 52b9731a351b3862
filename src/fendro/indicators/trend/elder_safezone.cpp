#include "fendro/indicators/trend/elder_safezone.hpp"

#include <algorithm>
#include <cmath>

#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

void push_penetration(PenetrationWindow& w, double value) {
  if (const auto old = w.ring.push(value)) {
    w.sum = w.sum - *old;
    if (*old > 0.0) w.positives -= 1;
  }
  w.sum = w.sum + value;
  if (value > 0.0) w.positives += 1;
}

Result<ElderSafeZone, IndicatorError> ElderSafeZone::create(std::uint64_t period,
                                                            double multiplier) {
  FENDRO_CHECK(check_period(period));
  FENDRO_CHECK(check_multiplier(multiplier));
  return ElderSafeZone(period, multiplier);
}

std::optional<double> ElderSafeZone::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const auto prev = trend::exchange_previous(prev_, *c);
  if (!prev) return no_value();
  const double dn = std::max(prev->low - c->low, 0.0);
  const double up = std::max(c->high - prev->high, 0.0);
  push_penetration(down_, dn);
  push_penetration(up_, up);
  if (!down_.ring.is_full()) return no_value();
  const double long_stop = c->low - down_.positive_mean() * m_;
  const double short_stop = c->high + up_.positive_mean() * m_;
  if (direction_ == 0.0) {
    direction_ = 1.0;
    stop_ = long_stop;
  } else if (direction_ > 0.0) {
    stop_ = std::max(stop_, long_stop);
    if (c->close < stop_) {
      direction_ = -1.0;
      stop_ = short_stop;
    }
  } else {
    stop_ = std::min(stop_, short_stop);
    if (c->close > stop_) {
      direction_ = 1.0;
      stop_ = long_stop;
    }
  }
  return value_out(out_.set(stop_, direction_));
}

}  // namespace fendro
