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

namespace {

// Reading R of the smoothed moves; the DIs as di(plus) gives them.
template <DmReading R, class Di>
double dm_reading(DmSmoother& dm, Di di) {
  switch (R) {
    case DmReading::PlusDm: return dm.plus_dm;
    case DmReading::MinusDm: return dm.minus_dm;
    case DmReading::PlusDi: return di(true);
    case DmReading::MinusDi: return di(false);
    case DmReading::Dx: return directional_index(di(true), di(false));
  }
  return 0.0;
}

}  // namespace

template <DmReading R>
std::optional<double> DmIndicator<R>::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  // One test an update: settled sums take the settled path out of line,
  // seeding ones the plain step; past the test, the sums are smoothed.
  if (dm_.below_or_seeding()) [[unlikely]] {
    if (!dm_.smoothed) return seeding(*c);
    return value_out(settled_path(
        [](DmSmoother* dm, const Candle* k) {
          dm->step_kept(*k);
          return dm_reading<R>(
              *dm, [dm](bool plus) { return plus ? dm->kept_plus_di() : dm->kept_minus_di(); });
        },
        &dm_, c));
  }
  dm_.step_smoothed(*c);
  return value_out(reading());
}

template <DmReading R>
std::optional<double> DmIndicator<R>::seeding(const Candle& c) {
  if (!dm_.step(c)) return no_value();
  return value_out(reading());
}

template <DmReading R>
double DmIndicator<R>::reading() {
  return dm_reading<R>(dm_, [this](bool plus) { return plus ? dm_.plus_di() : dm_.minus_di(); });
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
  // One test an update: settled sums take the settled path out of line.
  if (core_.dm.is_settled()) [[unlikely]] {
    return settled_path(
        [](Adx* a, const Candle* k) { return a->reported(adx_update_kept(a->core_, *k)); }, this,
        c);
  }
  return reported(adx_update(core_, *c));
}

std::optional<double> Adx::reported(std::optional<AdxReading> r) {
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
  // One test an update: settled sums take the settled path out of line.
  if (core_.dm.is_settled()) [[unlikely]] {
    return settled_path(
        [](Adxr* a, const Candle* k) { return a->rated<true>(adx_update_kept(a->core_, *k)); },
        this, c);
  }
  return rated<false>(adx_update(core_, *c));
}

// With no directional move left the ADX decays into the subnormal numbers
// and settles there; so does the midpoint, which the settled path keeps.
template <bool Kept>
std::optional<double> Adxr::rated(std::optional<AdxReading> r) {
  if (!r) return no_value();
  ring_.push(r->adx);
  if (!ring_.is_full()) return no_value();
  const double last = ring_.back();
  const double first = ring_.front();
  const auto mid = [](double newer, double older) { return midpoint(newer, older); };
  if constexpr (Kept) return value_out(kept_apply(midpoint_kept_, mid, last, first));
  return value_out(mid(last, first));
}

}  // namespace fendro
