#include "fendro/indicators/momentum/candle_momentum.hpp"

#include <algorithm>
#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/util/saturating.hpp"

namespace fendro {

Result<AwesomeCore, IndicatorError> AwesomeCore::create(std::uint64_t fast, std::uint64_t slow,
                                                        std::string_view why) {
  if (fast == 0 || slow == 0) return err(IndicatorError::zero_period());
  if (fast >= slow) return err(IndicatorError::invalid_period(why));
  FENDRO_CHECK(check_period(fast));
  FENDRO_CHECK(check_period(slow));
  return AwesomeCore{SmaWindow(fast), SmaWindow(slow)};
}

std::optional<double> awesome_update(AwesomeCore& ao, const Candle& c) {
  const double m = midpoint(c.high, c.low);
  double fast;
  double slow;
  const bool has_fast = sma_update_to(ao.fast, m, fast);
  const bool has_slow = sma_update_to(ao.slow, m, slow);
  if (!has_fast || !has_slow) return std::nullopt;
  return fast - slow;
}

namespace {
constexpr std::string_view kAoOrder = "AO fast period must be strictly less than slow";
}  // namespace

Result<AwesomeOscillator, IndicatorError> AwesomeOscillator::create(std::uint64_t fast,
                                                                    std::uint64_t slow) {
  FENDRO_TRY(ao, AwesomeCore::create(fast, slow, kAoOrder));
  return AwesomeOscillator(std::move(ao));
}

std::optional<double> AwesomeOscillator::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  return returned(awesome_update(ao_, *c));
}

Result<AwesomeOscillatorHistogram, IndicatorError> AwesomeOscillatorHistogram::create(
    std::uint64_t fast, std::uint64_t slow, std::uint64_t lag) {
  if (lag == 0) return err(IndicatorError::zero_period());
  constexpr std::string_view kOrder =
      "AwesomeOscillatorHistogram fast must be strictly less than slow";
  FENDRO_TRY(ao, AwesomeCore::create(fast, slow, kOrder));
  return AwesomeOscillatorHistogram(std::move(ao), lag);
}

std::uint64_t AwesomeOscillatorHistogram::warmup_period() const {
  return sat_add(ao_.slow.period, past_.capacity());
}

std::optional<double> AwesomeOscillatorHistogram::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const auto ao = awesome_update(ao_, *c);
  if (!ao) return no_value();
  // Once `lag` values are held, the one `lag` bars back leaves as this enters.
  const auto back = past_.push(*ao);
  if (!back) return no_value();
  return value_out(*ao - *back);
}

Result<AcceleratorOscillator, IndicatorError> AcceleratorOscillator::create(std::uint64_t fast,
                                                                            std::uint64_t slow,
                                                                            std::uint64_t signal) {
  FENDRO_TRY(ao, AwesomeCore::create(fast, slow, kAoOrder));
  FENDRO_TRY(sig, sma_window_new(signal));
  return AcceleratorOscillator(std::move(ao), std::move(sig));
}

std::optional<double> AcceleratorOscillator::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const auto ao = awesome_update(ao_, *c);
  if (!ao) return no_value();
  const auto s = sma_update(signal_, *ao);
  if (!s) return no_value();
  return value_out(*ao - *s);
}

Result<ElderRay, IndicatorError> ElderRay::create(std::uint64_t period) {
  FENDRO_TRY(e, ema_state_new(period));
  return ElderRay(e);
}

std::optional<double> ElderRay::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const auto e = ema_update(ema_, c->close);
  if (!e) return no_value();
  return value_out(out_.set(c->high - *e, c->low - *e));
}

Result<GatorOscillator, IndicatorError> GatorOscillator::create(std::uint64_t jaw,
                                                                std::uint64_t teeth,
                                                                std::uint64_t lips) {
  FENDRO_TRY(lines, alligator_lines_new(jaw, teeth, lips));
  return GatorOscillator(lines);
}

std::uint64_t GatorOscillator::warmup_period() const {
  return std::max({lines_.jaw.period, lines_.teeth.period, lines_.lips.period});
}

std::optional<double> GatorOscillator::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const auto v = alligator_update(lines_, c->high, c->low);
  if (!v) return no_value();
  return value_out(out_.set(std::abs(v->jaw - v->teeth), -std::abs(v->teeth - v->lips)));
}

std::optional<double> BalanceOfPower::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const double range = c->high - c->low;
  if (range == 0.0) return value_out(0.0);
  return value_out((c->close - c->open) / range);
}

Result<Qstick, IndicatorError> Qstick::create(std::uint64_t period) {
  FENDRO_TRY(w, sma_window_new(period));
  return Qstick(std::move(w));
}

std::optional<double> Qstick::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  return returned(sma_update_reading_zeros(sma_, zeros_, c->close - c->open));
}

}  // namespace fendro
