#include "fendro/indicators/trend/directional_movement.hpp"

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

template <DmReading R>
Result<DmIndicator<R>, IndicatorError> DmIndicator<R>::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return DmIndicator(period);
}

template <DmReading R>
std::optional<double> DmIndicator<R>::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr || !dm_.step(*c)) return no_value();
  switch (R) {
    case DmReading::PlusDm: return value_out(dm_.plus_dm);
    case DmReading::MinusDm: return value_out(dm_.minus_dm);
    case DmReading::PlusDi: return value_out(dm_.plus_di());
    case DmReading::MinusDi: return value_out(dm_.minus_di());
    case DmReading::Dx: return value_out(directional_index(dm_.plus_di(), dm_.minus_di()));
  }
  return no_value();
}

template class DmIndicator<DmReading::PlusDm>;
template class DmIndicator<DmReading::MinusDm>;
template class DmIndicator<DmReading::PlusDi>;
template class DmIndicator<DmReading::MinusDi>;
template class DmIndicator<DmReading::Dx>;

Result<Adx, IndicatorError> Adx::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return Adx(period);
}

std::optional<double> Adx::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const auto r = adx_update(core_, *c);
  if (!r) return no_value();
  return value_out(out_.set(r->plus_di, r->minus_di, r->adx));
}

Result<Adxr, IndicatorError> Adxr::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return Adxr(period);
}

std::optional<double> Adxr::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const auto r = adx_update(core_, *c);
  if (!r) return no_value();
  ring_.push(r->adx);
  if (!ring_.is_full()) return no_value();
  // With no directional move left the ADX decays into the subnormal numbers
  // and settles there; so does their midpoint, which is then kept. The newer
  // value alone opens the record: the older follows it down n bars later.
  const double last = ring_.back();
  const double first = ring_.front();
  const auto mid = [](double newer, double older) { return midpoint(newer, older); };
  return value_out(settled_apply(midpoint_kept_, below_normal(last), mid, last, first));
}

}  // namespace fendro
