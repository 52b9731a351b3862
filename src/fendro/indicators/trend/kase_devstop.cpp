#include "fendro/indicators/trend/kase_devstop.hpp"

#include <algorithm>
#include <cmath>

#include "fendro/indicators/common/fused.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

Result<KaseDevStop, IndicatorError> KaseDevStop::create(std::uint64_t period, double multiplier) {
  FENDRO_CHECK(check_period_min_first(period, 2, "Kase DevStop period must be >= 2"));
  FENDRO_CHECK(check_multiplier(multiplier));
  return KaseDevStop(period, multiplier);
}

std::optional<double> KaseDevStop::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const auto prev = trend::exchange_previous(prev_, *c);
  if (!prev) return no_value();
  const double range = std::max(c->high, prev->high) - std::min(c->low, prev->low);
  ranges_.push(range);
  if (!ranges_.is_full()) return no_value();
  const double n = static_cast<double>(ranges_.period);
  const double shift = ranges_.s1 / n;
  const double mean = ranges_.anchor + shift;
  const double variance = fused_mul_add(n, -(shift * shift), ranges_.s2) / (n - 1.0);
  const double sd = variance < 0.0 ? 0.0 : std::sqrt(variance);
  const double dev = mean + m_ * sd;
  if (direction_ == 0.0) {
    direction_ = 1.0;
    extreme_ = c->high;
    stop_ = c->high - dev;
  } else if (direction_ > 0.0) {
    extreme_ = std::max(extreme_, c->high);
    stop_ = std::max(stop_, extreme_ - dev);
    if (c->close < stop_) {
      direction_ = -1.0;
      extreme_ = c->low;
      stop_ = c->low + dev;
    }
  } else {
    extreme_ = std::min(extreme_, c->low);
    stop_ = std::min(stop_, extreme_ + dev);
    if (c->close > stop_) {
      direction_ = 1.0;
      extreme_ = c->high;
      stop_ = c->high - dev;
    }
  }
  return value_out(out_.set(stop_, direction_));
}

}  // namespace fendro
