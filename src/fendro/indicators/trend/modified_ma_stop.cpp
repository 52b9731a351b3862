#include "fendro/indicators/trend/modified_ma_stop.hpp"

#include <algorithm>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

Result<ModifiedMaStop, IndicatorError> ModifiedMaStop::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return ModifiedMaStop(period);
}

std::optional<double> ModifiedMaStop::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const double close = c->close;
  const bool flat = flat_.push(close);
  const std::optional<double> average = smma_update(average_, close);
  if (!average) return no_value();
  // An average of nothing but copies of the close is the close.
  const double a = flat_read(flat, close, *average);
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
  return value_out(out_.set(stop_, direction_));
}

}  // namespace fendro
