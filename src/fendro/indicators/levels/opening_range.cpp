#include "fendro/indicators/levels/opening_range.hpp"

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

Result<InitialBalance, IndicatorError> InitialBalance::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return InitialBalance(period);
}

std::optional<double> InitialBalance::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  range_.take(*c);
  return value_out(out_.set(range_.high(), range_.low()));
}

Result<OpeningRange, IndicatorError> OpeningRange::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return OpeningRange(period);
}

std::optional<double> OpeningRange::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  range_.take(*c);
  const double mid = midpoint(range_.low(), range_.high());
  return value_out(out_.set(range_.high(), range_.low(), c->close - mid));
}

}  // namespace fendro
