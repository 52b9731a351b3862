#include "fendro/indicators/trend/aroon.hpp"

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

std::optional<AroonReading> aroon_update(AroonWindow& w, const Candle& c) {
  w.highs.push(c.high);
  w.lows.push(c.low);
  if (w.highs.count() <= w.period) return std::nullopt;
  // Positions from the oldest of the n + 1 candles (0) to the newest (n).
  const std::uint64_t hi_pos = w.period - w.highs.age();
  const std::uint64_t lo_pos = w.period - w.lows.age();
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
