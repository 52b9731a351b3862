#include "fendro/indicators/transforms/overnight_intraday_return.hpp"

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/levels/session_levels.hpp"

namespace fendro {

std::optional<double> OvernightIntradayReturn::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  if (date_.advance(local_day_hour(c->time, offset_).day)) {
    if (previous_close_) overnight_ = overnight_return(c->open, *previous_close_);
    date_open_ = c->open;
  }
  previous_close_ = c->close;
  if (!overnight_) return no_value();
  const double intraday = date_open_ == 0.0 ? 0.0 : c->close / date_open_ - 1;
  return value_out(out_.set(*overnight_, intraday));
}

}  // namespace fendro
