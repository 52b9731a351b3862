#include "fendro/indicators/trend/channel_stops.hpp"

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/util/run_scope.hpp"
#include "fendro/indicators/common/window_extremes.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

// Formed by value_out and no_value: returning `a` itself would build the
// optional from its flag byte on the stack and read it back whole, a stall on
// every bar (see common/returned.hpp).
template <bool Kept>
std::optional<double> AtrChannel::step(const Candle& c) {
  const auto a = atr_update_as<Kept>(atr, c);
  highs.push(c.high);
  lows.push(c.low);
  if (!a || !highs.is_full()) return no_value();
  return value_out(*a);
}

Result<ChandelierExit, IndicatorError> ChandelierExit::create(std::uint64_t period,
                                                              double multiplier) {
  FENDRO_CHECK(check_multiplier(multiplier));
  FENDRO_CHECK(check_period(period));
  return ChandelierExit(period, multiplier);
}

std::optional<double> ChandelierExit::update(const BarSnapshot& bar) {
  return atr_owner_update(bar, channel_.atr, this, &ChandelierExit::advance<false>,
                          &ChandelierExit::advance<true>);
}

template <bool Kept>
std::optional<double> ChandelierExit::advance(const Candle& k) {
  const Candle* c = &k;
  const auto atr = channel_.step<Kept>(*c);
  // The scans of both windows: about a step a bar.
  if (!atr || stop_before(channel_.highs.len())) return no_value();
  const double d = atr_times_as<Kept>(channel_.atr, *atr, m_);
  return value_out(out_.set(trend::highest(channel_.highs) - d, trend::lowest(channel_.lows) + d));
}

Result<ChandeKrollStop, IndicatorError> ChandeKrollStop::create(std::uint64_t atr_period,
                                                                std::uint64_t stop_period,
                                                                double multiplier) {
  FENDRO_CHECK(check_multiplier(multiplier));
  FENDRO_CHECK(check_period(stop_period));
  FENDRO_CHECK(check_period(atr_period));
  return ChandeKrollStop(atr_period, stop_period, multiplier);
}

std::optional<double> ChandeKrollStop::update(const BarSnapshot& bar) {
  return atr_owner_update(bar, channel_.atr, this, &ChandeKrollStop::advance<false>,
                          &ChandeKrollStop::advance<true>);
}

template <bool Kept>
std::optional<double> ChandeKrollStop::advance(const Candle& k) {
  const Candle* c = &k;
  const auto atr = channel_.step<Kept>(*c);
  if (!atr) return no_value();  // nothing reaches the stop windows yet
  // The scans of the candle windows, then of the stop windows: about a step
  // a bar each.
  if (stop_before(channel_.highs.len())) return no_value();
  const double d = atr_times_as<Kept>(channel_.atr, *atr, m_);
  high_stops_.push(trend::highest(channel_.highs) - d);
  low_stops_.push(trend::lowest(channel_.lows) + d);
  if (!high_stops_.is_full() || stop_before(high_stops_.len())) return no_value();
  return value_out(out_.set(trend::lowest(low_stops_), trend::highest(high_stops_)));
}

Result<DonchianStop, IndicatorError> DonchianStop::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return DonchianStop(period);
}

std::optional<double> DonchianStop::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  highs_.push(c->high);
  lows_.push(c->low);
  // The scans of both windows: about a step a bar.
  if (!highs_.is_full() || stop_before(highs_.len())) return no_value();
  return value_out(out_.set(trend::lowest(lows_), trend::highest(highs_)));
}

}  // namespace fendro
