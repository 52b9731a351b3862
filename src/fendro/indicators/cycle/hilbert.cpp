#include "fendro/indicators/cycle/hilbert.hpp"

#include <algorithm>
#include <cmath>

#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/bar_close.hpp"
#include "fendro/util/math.hpp"

namespace fendro::cycle {
namespace {

constexpr double kEps = 2.220446049250313e-16;
constexpr double kPi = 3.141592653589793;
constexpr double kDegreesPerRadian = 57.29577951308232;

}  // namespace

std::optional<double> HtPhasor::update(const BarSnapshot& bar) {
  const double x = bar_close(bar);
  if (!std::isfinite(x)) return no_value();
  copies_.push(x);
  if (!hilbert_core_step(core_, x, nullptr)) return no_value();
  // Closes that never moved detrend to 0 in both components; the core keeps
  // the residue of its rounded smoothing.
  if (copies_.only_copies()) return value_out(outputs_.set(0.0, 0.0));
  return value_out(outputs_.set(core_.i1[0], core_.q1[0]));
}

std::optional<double> HilbertDominantCycle::update(const BarSnapshot& bar) {
  const double x = bar_close(bar);
  if (!std::isfinite(x)) return no_value();
  return returned(ht_dominant_cycle_update(core_, x));
}

std::optional<double> AdaptiveCycle::update(const BarSnapshot& bar) {
  const double x = bar_close(bar);
  if (!std::isfinite(x)) return no_value();
  const auto sp = ht_dominant_cycle_update(core_, x);
  if (!sp) return no_value();
  double n = std::round(0.5 * *sp);
  if (!(n >= 3.0)) n = 3.0;  // NaN too
  return value_out(std::min(n, 25.0));
}

std::optional<double> HtDcPhase::update(const BarSnapshot& bar) {
  const double x = bar_close(bar);
  if (!std::isfinite(x)) return no_value();
  return returned(ht_dcphase_update(state_, x));
}

std::optional<double> SineWave::update(const BarSnapshot& bar) {
  const double x = bar_close(bar);
  if (!std::isfinite(x)) return no_value();
  const auto phase = ht_dcphase_update(state_, x);
  if (!phase) return no_value();
  return value_out(cr::sin(*phase * 0.017453292519943295));
}

std::optional<double> HtTrendMode::update(const BarSnapshot& bar) {
  const double x = bar_close(bar);
  if (!std::isfinite(x)) return no_value();
  closes_.push(x);
  if (!hilbert_smoothed_step(core_, x, &deep_)) return no_value();

  // The phase is followed on every bar, not only once values are due.
  const double sp = core_.smooth_period;
  const std::size_t n = dc_period_clamp(sp, deep_.len());
  const double phase = dc_phase(deep_, n, sp);
  const double sine = cr::sin((phase * kPi) / 180.0);
  const double lead = cr::sin(((phase + 45.0) * kPi) / 180.0);

  const std::span<const double> closes = closes_.newest_first();
  double sum = 0.0;
  for (std::size_t k = 0; k < n; ++k) sum = sum + closes[k];
  const double itrend = sum / static_cast<double>(n);
  const double trendline = (it3_ + ((itrend * 4.0 + it1_ * 3.0) + (it2_ + it2_))) / 10.0;
  it3_ = it2_;
  it2_ = it1_;
  it1_ = itrend;

  double trend = 1.0;
  const bool crossed = (sine > lead && prev_sine_ <= prev_lead_) ||
                       (sine < lead && prev_sine_ >= prev_lead_);
  if (crossed) {
    days_in_trend_ = 0.0;
    trend = 0.0;
  }
  days_in_trend_ += 1.0;
  const double delta = phase - prev_phase_;
  if ((sp != 0.0 && 241.20000000000002 / sp < delta && delta < 540.0 / sp) ||
      days_in_trend_ < 0.5 * sp) {
    trend = 0.0;
  }
  const double smooth = core_.smooth[0];
  if (trendline != 0.0 && std::abs((smooth - trendline) / trendline) >= 0.015) trend = 1.0;
  prev_phase_ = phase;
  prev_sine_ = sine;
  prev_lead_ = lead;
  if (core_.bars < 50) return no_value();
  return value_out(trend);
}

Result<MamaState, IndicatorError> MamaState::create(double fast_limit, double slow_limit) {
  const bool ok = std::isfinite(fast_limit) && fast_limit > 0.0 && std::isfinite(slow_limit) &&
                  slow_limit > 0.0 && slow_limit <= fast_limit && fast_limit <= 1.0;
  if (!ok) {
    return err(IndicatorError::invalid_period(
        "fast_limit, slow_limit must satisfy 0 < slow_limit <= fast_limit <= 1"));
  }
  MamaState s;
  s.fast_limit = fast_limit;
  s.slow_limit = slow_limit;
  return s;
}

bool mama_update(MamaState& s, double x) {
  s.flat.push(x);
  if (!hilbert_core_step(s.core, x, nullptr)) {
    // While the smoothed prices fill, both averages follow the smoothed price.
    if (s.core.smooth.len() > 0 && s.core.smooth.len() < 7 && s.core.price.len() == 4) {
      s.mama = s.core.smooth[0];
      s.fama = s.core.smooth[0];
    }
    return false;
  }
  const double i1 = s.core.i1[0];
  const double phase =
      std::abs(i1) > kEps ? cr::atan(s.core.q1[0] / i1) * kDegreesPerRadian : s.prev_phase;
  const double delta = std::max(s.prev_phase - phase, 1.0);
  const double alpha = std::max(s.fast_limit / delta, s.slow_limit);
  s.mama = x * alpha + s.mama * (1.0 - alpha);
  s.fama = s.fama * (1.0 - alpha * 0.5) + (alpha * 0.5) * s.mama;
  s.prev_phase = phase;
  return s.core.bars >= 33;
}

Result<Mama, IndicatorError> Mama::create(double fast_limit, double slow_limit) {
  FENDRO_TRY(s, MamaState::create(fast_limit, slow_limit));
  return Mama(s);
}

std::optional<double> Mama::update(const BarSnapshot& bar) {
  const double x = bar_close(bar);
  if (!std::isfinite(x) || !mama_update(state_, x)) return no_value();
  if (state_.flat.only_copies()) [[unlikely]] return value_out(outputs_.set(copy_read(x), copy_read(x)));
  return value_out(outputs_.set(state_.mama, state_.fama));
}

Result<Fama, IndicatorError> Fama::create(double fast_limit, double slow_limit) {
  FENDRO_TRY(s, MamaState::create(fast_limit, slow_limit));
  return Fama(s);
}

std::optional<double> Fama::update(const BarSnapshot& bar) {
  const double x = bar_close(bar);
  if (!std::isfinite(x) || !mama_update(state_, x)) return no_value();
  return value_out(flat_read(state_.flat.only_copies(), x, state_.fama));
}

}  // namespace fendro::cycle
