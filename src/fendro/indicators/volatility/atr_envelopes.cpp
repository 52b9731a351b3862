#include "fendro/indicators/volatility/atr_envelopes.hpp"

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {
namespace {

// middle +- ATR * m once both parts are ready.
template <bool Kept>
std::optional<double> atr_bands(OutputList<3>& out, std::optional<double> middle,
                                AtrState& state, std::optional<double> atr, double m) {
  if (!atr || !middle) return std::nullopt;
  const double width = atr_times_as<Kept>(state, *atr, m);
  return out.set(*middle + width, *middle, *middle - width);
}

}  // namespace

Result<AtrBands, IndicatorError> AtrBands::create(std::uint64_t period, double multiplier) {
  FENDRO_CHECK(check_multiplier(multiplier));
  FENDRO_CHECK(check_period(period));
  return AtrBands(period, multiplier);
}

std::optional<double> AtrBands::update(const BarSnapshot& bar) {
  return atr_owner_update(bar, atr_, this, &AtrBands::advance<false>, &AtrBands::advance<true>);
}

template <bool Kept>
std::optional<double> AtrBands::advance(const Candle& c) {
  const auto atr = atr_update_as<Kept>(atr_, c);
  return returned(atr_bands<Kept>(out_, c.close, atr_, atr, m_));
}

Result<Keltner, IndicatorError> Keltner::create(std::uint64_t ema_period,
                                                std::uint64_t atr_period, double multiplier) {
  FENDRO_CHECK(check_multiplier(multiplier));
  FENDRO_CHECK(check_period(ema_period));
  FENDRO_CHECK(check_period(atr_period));
  return Keltner(ema_period, atr_period, multiplier);
}

std::optional<double> Keltner::update(const BarSnapshot& bar) {
  return atr_owner_update(bar, atr_, this, &Keltner::advance<false>, &Keltner::advance<true>);
}

template <bool Kept>
std::optional<double> Keltner::advance(const Candle& c) {
  // The ATR first, while its owner's test still vouches that it is seeded.
  const auto atr = atr_update_as<Kept>(atr_, c);
  const auto ema = ema_update(ema_, c.close);
  return returned(atr_bands<Kept>(out_, ema, atr_, atr, m_));
}

Result<StarcBands, IndicatorError> StarcBands::create(std::uint64_t sma_period,
                                                      std::uint64_t atr_period,
                                                      double multiplier) {
  FENDRO_CHECK(check_multiplier(multiplier));
  FENDRO_CHECK(check_period(sma_period));
  FENDRO_CHECK(check_period(atr_period));
  return StarcBands(sma_period, atr_period, multiplier);
}

std::optional<double> StarcBands::update(const BarSnapshot& bar) {
  return atr_owner_update(bar, atr_, this, &StarcBands::advance<false>, &StarcBands::advance<true>);
}

template <bool Kept>
std::optional<double> StarcBands::advance(const Candle& c) {
  // The ATR first, while its owner's test still vouches that it is seeded.
  const auto atr = atr_update_as<Kept>(atr_, c);
  const auto sma = sma_update(sma_, c.close);
  return returned(atr_bands<Kept>(out_, sma, atr_, atr, m_));
}

}  // namespace fendro
