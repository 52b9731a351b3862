#include "fendro/indicators/orderflow/derivatives_readings.hpp"

#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"

namespace fendro {

namespace orderflow {

double funding_rate(const DerivativesTick& t) { return t.funding_rate; }

double perpetual_premium(const DerivativesTick& t) {
  return (t.mark_price - t.index_price) / t.index_price;
}

double term_structure_basis(const DerivativesTick& t) {
  return (t.future_price - t.index_price) / t.index_price;
}

double calendar_spread(const DerivativesTick& t) {
  return (t.future_price - t.mark_price) / t.mark_price;
}

double taker_buy_sell_ratio(const DerivativesTick& t) {
  return t.taker_sell_volume == 0.0 ? 0.0 : t.taker_buy_volume / t.taker_sell_volume;
}

double long_short_ratio(const DerivativesTick& t) {
  return t.shorts == 0.0 ? 0.0 : t.longs / t.shorts;
}

double oi_to_volume_ratio(const DerivativesTick& t) {
  const double volume = t.taker_buy_volume + t.taker_sell_volume;
  return volume > 0.0 ? t.open_interest / volume : 0.0;
}

}  // namespace orderflow

Result<FundingImpliedApr, IndicatorError> FundingImpliedApr::create(double intervals_per_year) {
  if (!positive_finite(intervals_per_year)) {
    return err(IndicatorError::invalid_parameter("intervals_per_year must be finite and positive"));
  }
  return FundingImpliedApr(intervals_per_year);
}

std::optional<double> FundingImpliedApr::update(const BarSnapshot& bar) {
  if (bar.derivatives == nullptr) return no_value();
  return value_out(bar.derivatives->funding_rate * intervals_);
}

std::optional<double> EstimatedLeverageRatio::update(const BarSnapshot& bar) {
  if (bar.candle == nullptr || !bar.reference) return no_value();
  const double close = bar.candle->close;
  const double reference = *bar.reference;
  if (!std::isfinite(close) || !std::isfinite(reference)) return no_value();
  return value_out(reference > 0.0 ? close / reference : 0.0);
}

}  // namespace fendro
