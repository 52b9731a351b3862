#include "fendro/indicators/levels/session_levels.hpp"

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"

namespace fendro {

double overnight_return(double open, double previous_close) {
  return previous_close == 0.0 ? 0.0 : open / previous_close - 1;
}

std::optional<double> OvernightGap::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  if (date_.advance(local_day_hour(c->time, offset_).day) && previous_close_) {
    gap_ = overnight_return(c->open, *previous_close_);
  }
  previous_close_ = c->close;
  return returned(gap_);
}

std::optional<double> SessionHighLow::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  if (date_.advance(local_day_hour(c->time, offset_).day)) {
    high_ = c->high;
    low_ = c->low;
  } else {
    if (c->high > high_) high_ = c->high;
    if (c->low < low_) low_ = c->low;
  }
  return value_out(out_.set(high_, low_));
}

std::optional<double> SessionRange::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const LocalDayHour local = local_day_hour(c->time, offset_);
  if (date_.advance(local.day)) {
    for (Session& s : sessions_) s = Session{};
  }
  Session& s = sessions_[local.hour / 8];
  if (c->high > s.high) s.high = c->high;
  if (c->low < s.low) s.low = c->low;
  const auto range = [](const Session& x) { return x.high >= x.low ? x.high - x.low : 0.0; };
  return value_out(out_.set(range(sessions_[0]), range(sessions_[1]), range(sessions_[2])));
}

}  // namespace fendro
