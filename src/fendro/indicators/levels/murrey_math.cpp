#include "fendro/indicators/levels/murrey_math.hpp"

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

Result<MurreyMathLines, IndicatorError> MurreyMathLines::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return MurreyMathLines(period);
}

std::optional<double> MurreyMathLines::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  highs_.push(c->high);
  lows_.push(c->low);
  if (highs_.count() < period_) return no_value();
  const double ll = lows_.value();
  const double step = (highs_.value() - ll) * 0.125;
  return value_out(out_.set(ll + step * 8, ll + step * 7, ll + step * 6, ll + step * 5,
                            ll + step * 4, ll + step * 3, ll + (step + step), ll + step,
                            ll + step * 0.0));
}

}  // namespace fendro
