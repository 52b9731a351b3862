#include "fendro/indicators/volatility/extreme_channels.hpp"

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/util/run_scope.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

// ---- Donchian ----

Result<Donchian, IndicatorError> Donchian::create(std::uint64_t period) {
  FENDRO_TRY(range, NewestCandleRange::create(period));
  return Donchian(std::move(range));
}

std::optional<double> Donchian::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr || !range_.push(*c)) return no_value();
  const double upper = range_.highest();
  const double lower = range_.lowest();
  return value_out(out_.set(upper, midpoint(upper, lower), lower));
}

// ---- FractalChaosBands ----

Result<FractalChaosBands, IndicatorError> FractalChaosBands::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return FractalChaosBands(period);
}

std::optional<double> FractalChaosBands::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  highs_.push(c->high);
  lows_.push(c->low);
  if (!highs_.is_full()) return no_value();
  // The centre against every other bar: about a step a bar.
  if (stop_before(highs_.len())) return no_value();
  const double high = highs_[p_];
  const double low = lows_[p_];
  bool top = true;
  bool bottom = true;
  for (std::size_t i = 0; i < highs_.len(); ++i) {
    if (i == p_) continue;
    top = top && high > highs_[i];
    bottom = bottom && low < lows_[i];
  }
  if (top) upper_ = high;
  if (bottom) lower_ = low;
  if (!upper_ || !lower_) return no_value();
  return value_out(out_.set(*upper_, *lower_));
}

// ---- HurstChannel ----

Result<HurstChannel, IndicatorError> HurstChannel::create(std::uint64_t period,
                                                          double multiplier) {
  FENDRO_CHECK(check_multiplier(multiplier));
  FENDRO_CHECK(check_period(period));
  return HurstChannel(period, multiplier);
}

std::optional<double> HurstChannel::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  highs_.push(c->high);
  lows_.push(c->low);
  const auto sma = sma_update(sma_, c->close);
  if (!sma) return no_value();
  const double width = m_ * (highs_.value() - lows_.value());
  return value_out(out_.set(*sma + width, *sma, *sma - width));
}

}  // namespace fendro
