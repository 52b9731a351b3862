#include "fendro/indicators/trend/aroon.hpp"

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/common/window_extremes.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {
namespace {

// The newest position holding the window's extreme: the position a walk
// from the oldest keeps when ">=" (or "<=") hands ties to the later value.
std::size_t newest_position(const BoundedRing<double>& w, double extreme) {
  std::size_t pos = w.len() - 1;
  while (w[pos] != extreme) --pos;
  return pos;
}

}  // namespace

std::optional<AroonReading> aroon_update(AroonWindow& w, const Candle& c) {
  w.highs.push(c.high);
  w.lows.push(c.low);
  if (!w.highs.is_full()) return std::nullopt;
  const std::size_t hi_pos = newest_position(w.highs, trend::highest(w.highs));
  const std::size_t lo_pos = newest_position(w.lows, trend::lowest(w.lows));
  const double n = static_cast<double>(w.period);
  return AroonReading{(static_cast<double>(hi_pos) * 100.0) / n,
                      (static_cast<double>(lo_pos) * 100.0) / n};
}

Result<Aroon, IndicatorError> Aroon::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return Aroon(period);
}

std::optional<double> Aroon::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const auto r = aroon_update(w_, *c);
  if (!r) return no_value();
  return value_out(out_.set(r->up, r->down));
}

Result<AroonOscillator, IndicatorError> AroonOscillator::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return AroonOscillator(period);
}

std::optional<double> AroonOscillator::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const auto r = aroon_update(w_, *c);
  if (!r) return no_value();
  return value_out(r->up - r->down);
}

}  // namespace fendro
