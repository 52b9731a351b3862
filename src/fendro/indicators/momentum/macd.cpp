#include "fendro/indicators/momentum/macd.hpp"

#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/bar_close.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/util/saturating.hpp"

namespace fendro {
namespace {

constexpr std::string_view kFastSlow = "fast period must be strictly less than slow period";

}  // namespace

Result<MacdIndicator, IndicatorError> MacdIndicator::create(std::uint64_t fast, std::uint64_t slow,
                                                            std::uint64_t signal) {
  FENDRO_CHECK(check_fast_slow(fast, slow, signal, kFastSlow));
  return MacdIndicator(MacdCore::of_periods(fast, slow, signal));
}

Result<MacdIndicator, IndicatorError> MacdIndicator::create_fixed(std::uint64_t signal) {
  FENDRO_CHECK(check_period(signal));
  return MacdIndicator(MacdCore{EmaState::with_alpha(12, 0.15), EmaState::with_alpha(26, 0.075),
                                EmaState::of_period(signal)});
}

std::optional<double> MacdIndicator::update(const BarSnapshot& bar) {
  const auto m = macd_update(core_, bar_close(bar));
  if (!m) return no_value();
  return value_out(out_.set(m->macd, m->signal, m->histogram));
}

Result<MacdHistogram, IndicatorError> MacdHistogram::create(std::uint64_t fast, std::uint64_t slow,
                                                            std::uint64_t signal) {
  FENDRO_CHECK(check_fast_slow(fast, slow, signal, kFastSlow));
  return MacdHistogram(MacdCore::of_periods(fast, slow, signal));
}

std::optional<double> MacdHistogram::update(const BarSnapshot& bar) {
  const auto m = macd_update(core_, bar_close(bar));
  if (!m) return no_value();
  return value_out(m->histogram);
}

Result<Apo, IndicatorError> Apo::create(std::uint64_t fast, std::uint64_t slow) {
  FENDRO_CHECK(check_fast_slow(fast, slow, 1, "APO fast period must be strictly less than slow"));
  return Apo(EmaState::of_period(fast), EmaState::of_period(slow));
}

std::optional<double> Apo::update(const BarSnapshot& bar) {
  const double c = bar_close(bar);
  if (!std::isfinite(c)) return no_value();
  double f;
  double s;
  const bool has_fast = ema_update_to(fast_, c, f);
  const bool has_slow = ema_update_to(slow_, c, s);
  if (!has_fast || !has_slow) return no_value();
  return value_out(f - s);
}

Result<PpoState, IndicatorError> PpoState::create(std::uint64_t fast, std::uint64_t slow) {
  FENDRO_CHECK(check_fast_slow(fast, slow, 1, "PPO fast period must be < slow period"));
  return PpoState{EmaState::of_period(fast), EmaState::of_period(slow)};
}

Result<Ppo, IndicatorError> Ppo::create(std::uint64_t fast, std::uint64_t slow) {
  FENDRO_TRY(p, PpoState::create(fast, slow));
  return Ppo(p);
}

std::optional<double> Ppo::update(const BarSnapshot& bar) {
  const double c = bar_close(bar);
  if (!std::isfinite(c)) return no_value();
  return returned(ppo_update(ppo_, c));
}

Result<PpoHistogram, IndicatorError> PpoHistogram::create(std::uint64_t fast, std::uint64_t slow,
                                                          std::uint64_t signal) {
  FENDRO_CHECK(check_period(signal));
  FENDRO_TRY(p, PpoState::create(fast, slow));
  return PpoHistogram(p, EmaState::of_period(signal));
}

std::optional<double> PpoHistogram::update(const BarSnapshot& bar) {
  const double c = bar_close(bar);
  if (!std::isfinite(c)) return no_value();
  const auto p = ppo_update(ppo_, c);
  if (!p || !std::isfinite(*p)) return no_value();
  const auto sig = ema_update_settled(signal_, *p);
  if (!sig) return no_value();
  return value_out(*p - *sig);
}

Result<ZeroLagMacd, IndicatorError> ZeroLagMacd::create(std::uint64_t fast, std::uint64_t slow,
                                                        std::uint64_t signal) {
  FENDRO_CHECK(check_fast_slow(fast, slow, signal,
                               "ZeroLagMACD fast period must be strictly less than slow"));
  return ZeroLagMacd(ZlemaState(fast), ZlemaState(slow), ZlemaState(signal));
}

std::uint64_t ZeroLagMacd::warmup_period() const {
  const std::uint64_t macd = sat_add(slow_.period, slow_.lag);
  return sat_sub(sat_add(macd, sat_add(signal_.period, signal_.lag)), 1);
}

std::optional<double> ZeroLagMacd::update(const BarSnapshot& bar) {
  const double c = bar_close(bar);
  if (std::isfinite(c)) closes_.push(c);
  // A halt past the slow period: the closes have repeated for that many bars.
  const bool repeat = std::isfinite(c) && closes_.holds_only_copies(slow_.period + 1);
  const auto f = zlema_update(fast_, c);
  const auto s = zlema_update(slow_, c);
  if (!f || !s) return no_value();
  const double macd = *f - *s;
  const auto g = zlema_update_settled(signal_, macd);
  if (!g) return no_value();
  if (kReadsCopies && repeat) [[unlikely]] return value_out(halt_read(macd, *g, c));
  return value_out(out_.set(macd, *g, macd - *g));
}

// The line, the signal and the histogram each read 0 once within the band of
// it; the histogram also once the other two do, so that it never reads the
// difference of a line read as 0 and a signal that still decays.
double ZeroLagMacd::halt_read(double macd, double signal, double close) {
  const double line = limit_read(true, macd, 0.0, band_, close);
  const double sig = limit_read(true, signal, 0.0, band_, close);
  const double histogram =
      line == 0.0 && sig == 0.0 ? line - sig : limit_read(true, macd - signal, 0.0, band_, close);
  return out_.set(line, sig, histogram);
}

Result<VolumeWeightedMacd, IndicatorError> VolumeWeightedMacd::create(std::uint64_t fast,
                                                                      std::uint64_t slow,
                                                                      std::uint64_t signal) {
  FENDRO_CHECK(check_fast_slow(fast, slow, signal, kFastSlow));
  return VolumeWeightedMacd(VwmaWindow(fast), VwmaWindow(slow), EmaState::of_period(signal));
}

std::optional<double> VolumeWeightedMacd::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const auto f = vwma_update(fast_, c->close, c->volume);
  const auto s = vwma_update(slow_, c->close, c->volume);
  if (!f || !s) return no_value();
  const double macd = *f - *s;
  if (!std::isfinite(macd)) return no_value();
  const auto sig = ema_update_settled(signal_, macd);
  if (!sig) return no_value();
  return value_out(out_.set(macd, *sig, macd - *sig));
}

}  // namespace fendro
