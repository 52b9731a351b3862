#include "fendro/indicators/trend/modified_ma_stop.hpp"

#include <algorithm>

#include "fendro/indicators/trend/checks.hpp"

namespace fendro {

Result<ModifiedMaStop, IndicatorError> ModifiedMaStop::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return ModifiedMaStop(period);
}

std::optional<double> ModifiedMaStop::update(const BarSnapshot& bar) {
  const Candle* c = trend::checked_candle(bar);
  if (c == nullptr) return std::nullopt;
  const double close = c->close;
  const double n = static_cast<double>(period_);
  if (average_) {
    average_ = (*average_ * (n - 1.0) + close) / n;
  } else {
    seed_sum_ = seed_sum_ + close;
    if (++seed_count_ < period_) return std::nullopt;
    average_ = seed_sum_ / n;
  }
  const double a = *average_;
  if (direction_ == 0.0) {
    direction_ = close < a ? -1.0 : 1.0;
    stop_ = a;
  } else if (direction_ > 0.0) {
    stop_ = std::max(stop_, a);
    if (close < stop_) {
      direction_ = -1.0;
      stop_ = a;
    }
  } else {
    stop_ = std::min(stop_, a);
    if (close > stop_) {
      direction_ = 1.0;
      stop_ = a;
    }
  }
  return out_.set(stop_, direction_);
}

}  // namespace fendro
