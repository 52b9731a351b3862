#include "fendro/indicators/cycle/ehlers_filters.hpp"

#include <algorithm>
#include <cmath>

#include "fendro/indicators/common/close_window.hpp"
#include "fendro/indicators/common/fused.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/util/run_scope.hpp"
#include "fendro/indicators/windows/bar_close.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/util/math.hpp"

namespace fendro::cycle {
namespace {

constexpr double kEps = 2.220446049250313e-16;

double clamp_unit(double v) { return std::min(std::max(v, -1.0), 1.0); }

// Both lengths nonzero, fast strictly below slow, then `limited` within
// MAX_PERIOD.
Status<IndicatorError> check_fast_slow(std::uint64_t fast, std::uint64_t slow,
                                       std::uint64_t limited, std::string_view why) {
  if (fast == 0 || slow == 0) return err(IndicatorError::zero_period());
  if (fast >= slow) return err(IndicatorError::invalid_period(why));
  if (limited > MAX_PERIOD) return err(IndicatorError::invalid_period(kMaxPeriodReason));
  return Unit{};
}

// The one-pole high-pass of the sinewave, its gains as its own.
OnePoleHighpass sinewave_highpass(std::uint64_t duration) {
  const double w = kTwoPi / static_cast<double>(duration);
  const double a1 = (1.0 - cr::sin(w)) / cr::cos(w);
  return OnePoleHighpass::of_gains(a1, midpoint(a1, 1.0));
}

}  // namespace

Result<HighpassFilter, IndicatorError> HighpassFilter::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return HighpassFilter(period);
}

std::optional<double> HighpassFilter::update(const BarSnapshot& bar) {
  const double x = bar_close(bar);
  if (!std::isfinite(x)) return no_value();
  return value_out(hp_.step(x));
}

Result<Decycler, IndicatorError> Decycler::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return Decycler(period);
}

std::optional<double> Decycler::update(const BarSnapshot& bar) {
  const double x = bar_close(bar);
  if (!std::isfinite(x)) return no_value();
  return value_out(x - hp_.step(x));
}

Result<DecyclerOscillator, IndicatorError> DecyclerOscillator::create(std::uint64_t fast,
                                                                      std::uint64_t slow) {
  FENDRO_CHECK(
      check_fast_slow(fast, slow, slow, "fast period must be strictly less than slow period"));
  return DecyclerOscillator(fast, slow);
}

std::optional<double> DecyclerOscillator::update(const BarSnapshot& bar) {
  const double x = bar_close(bar);
  if (!std::isfinite(x)) return no_value();
  // One test an update, on the fast high-pass, the first of the two below
  // normal on a flat stretch: below normal (or starting), both blocks take
  // the settled path out of line, with the whole answer.
  if (below_normal(fast_.newest())) [[unlikely]] {
    return settled_path([](DecyclerOscillator* d, double in) { return d->advance<true>(in); },
                        this, x);
  }
  return advance<false>(x);
}

template <bool Kept>
std::optional<double> DecyclerOscillator::advance(double x) {
  const double fast = x - fast_.step_as<Kept>(x);
  return value_out(fast - (x - slow_.step_as<Kept>(x)));
}

Result<SuperSmoother, IndicatorError> SuperSmoother::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return SuperSmoother(
      SuperSmootherStage::of_length(static_cast<double>(period), kStandaloneSmootherAngle));
}

std::optional<double> SuperSmoother::update(const BarSnapshot& bar) {
  const double x = bar_close(bar);
  if (!std::isfinite(x)) return no_value();
  const bool flat = flat_.push(x);
  return value_out(flat_read(flat, x, ss_.step_of_prices(x)));
}

Result<RoofingFilter, IndicatorError> RoofingFilter::create(std::uint64_t lp_period,
                                                            std::uint64_t hp_period) {
  FENDRO_CHECK(check_fast_slow(lp_period, hp_period, lp_period,
                               "lp_period must be strictly less than hp_period"));
  return RoofingFilter(lp_period, hp_period);
}

std::optional<double> RoofingFilter::update(const BarSnapshot& bar) {
  const double x = bar_close(bar);
  if (!std::isfinite(x)) return no_value();
  // One test an update, on the high-pass, which the low-pass follows below
  // normal on a flat stretch: below normal (or starting), both blocks take
  // the settled path out of line, with the whole answer.
  if (below_normal(hp_.newest())) [[unlikely]] {
    return settled_path([](RoofingFilter* f, double in) { return f->kept(in); }, this, x);
  }
  const double hp = hp_.step_as<false>(x);
  if (!std::isfinite(hp)) return no_value();
  return value_out(ss_.step_as<false>(hp));
}

std::optional<double> RoofingFilter::kept(double x) {
  const double hp = hp_.step_as<true>(x);
  if (!std::isfinite(hp)) return no_value();
  return value_out(ss_.step_as<true>(hp));
}

Result<BandpassFilter, IndicatorError> BandpassFilter::create(std::uint64_t period,
                                                              double bandwidth) {
  FENDRO_CHECK(check_period(period));
  if (!(bandwidth > 0.0 && bandwidth < 1.0)) {
    return err(IndicatorError::invalid_parameter("bandpass bandwidth must be in (0, 1)"));
  }
  return BandpassFilter(period, bandwidth);
}

std::optional<double> BandpassFilter::update(const BarSnapshot& bar) {
  const double x = bar_close(bar);
  if (!std::isfinite(x)) return no_value();
  // The block's test here, with the whole answer on the settled path: that
  // path is then a jump, and the plain one needs no frame.
  if (below_normal(bp_.newest())) [[unlikely]] {
    return settled_path(
        [](BandpassFilter* f, double in) { return value_out(f->bp_.step_as<true>(in)); }, this, x);
  }
  return value_out(bp_.step_as<false>(x));
}

CyberneticCycle::CyberneticCycle(std::uint64_t period) {
  const double alpha = 2.0 / (static_cast<double>(period) + 1.0);
  const double half = alpha * -0.5 + 1.0;
  k_c1_ = (1.0 - alpha) + (1.0 - alpha);
  k_s_ = half * half;
  k_c2_ = (1.0 - alpha) * (1.0 - alpha);
}

Result<CyberneticCycle, IndicatorError> CyberneticCycle::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return CyberneticCycle(period);
}

std::optional<double> CyberneticCycle::update(const BarSnapshot& bar) {
  // One test an update, first, on the newest cycle value: below normal (or
  // starting), the update takes the settled path out of line. Either path is
  // a jump to a function of its own; the plain one, a leaf, needs no frame.
  if (below_normal(c1_)) [[unlikely]] {
    return settled_path(
        [](CyberneticCycle* c, const BarSnapshot* b) { return c->answer<true>(*b); }, this, &bar);
  }
  return answer<false>(bar);
}

template <bool Kept>
std::optional<double> CyberneticCycle::answer(const BarSnapshot& bar) {
  const double x = bar_close(bar);
  if (!std::isfinite(x)) return no_value();
  copies_.push(x);
  double cycle;
  if constexpr (Kept) {
    const auto bits = [this] { return bits_of(x1_, x2_, x3_, s1_, s2_, c1_, c2_, seen_); };
    const auto step = [this](double in) { return advance(in); };
    cycle = kept_block(settled_, bits, x, c1_, step);
  } else {
    cycle = advance(x);
  }
  // Closes that never moved have no cycle: the recursion keeps the residue
  // of its rounded smoothing, the value reads the exact 0.
  return value_out(copies_.only_copies() ? 0.0 : cycle);
}

double CyberneticCycle::advance(double x) {
  const double smooth = seen_ >= 3 ? (x3_ + ((x2_ + x2_) + (x + (x1_ + x1_)))) / 6.0 : x;
  double cycle;
  if (seen_ >= 2) {
    cycle = (c1_ * k_c1_ + (s2_ + (smooth - (s1_ + s1_))) * k_s_) - c2_ * k_c2_;
  } else {
    // Missing earlier closes stand in as the close itself.
    const double x1 = seen_ >= 1 ? x1_ : x;
    cycle = (x + (x - (x1 + x1))) * 0.25;
  }
  x3_ = x2_;
  x2_ = x1_;
  x1_ = x;
  s2_ = s1_;
  s1_ = smooth;
  c2_ = c1_;
  c1_ = cycle;
  if (seen_ < 3) ++seen_;
  return cycle;
}

InstantaneousTrendline::InstantaneousTrendline(std::uint64_t period)
    : alpha_(2.0 / (static_cast<double>(period) + 1.0)) {}

Result<InstantaneousTrendline, IndicatorError> InstantaneousTrendline::create(
    std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return InstantaneousTrendline(period);
}

std::optional<double> InstantaneousTrendline::update(const BarSnapshot& bar) {
  const double x = bar_close(bar);
  if (!std::isfinite(x)) return no_value();
  if (seen_ < 7) ++seen_;
  const bool flat = flat_.push(x);
  const double a = alpha_;
  double it;
  if (seen_ < 7) {
    const double x1 = seen_ >= 2 ? x1_ : x;
    const double x2 = seen_ >= 3 ? x2_ : x;
    it = (x2 + (x + (x1 + x1))) * 0.25;
  } else {
    it = (((x1_ * (a * (a * 0.5))) + x * (a + a * a * -0.25)) - x2_ * (a + a * (a * -0.75))) +
         ((1.0 - a) + (1.0 - a)) * it1_ - ((1.0 - a) * (1.0 - a)) * it2_;
  }
  it2_ = it1_;
  it1_ = it;
  x2_ = x1_;
  x1_ = x;
  return value_out(flat_read(flat, x, it));
}

Result<CenterOfGravity, IndicatorError> CenterOfGravity::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return CenterOfGravity(period);
}

std::optional<double> CenterOfGravity::update(const BarSnapshot& bar) {
  const double x = bar_close(bar);
  if (!std::isfinite(x)) return no_value();
  window_.push(x);
  if (!window_.is_full()) return no_value();
  const std::size_t n = window_.len();
  // The weighted sum and the sum: about a step a value.
  if (stop_before(n)) return no_value();
  double num = 0.0;
  for (std::size_t k = 0; k < n; ++k) {
    num = num + static_cast<double>(k + 1) * window_[n - 1 - k];
  }
  const double den = ring_sum(window_);
  // Copies of x: the centre is the middle, (n + 1) / 2, exactly.
  if (std::abs(den) <= kEps || stats::ring_only_copies(window_, x)) return value_out(0.0);
  return value_out((static_cast<double>(n) + 1.0) * 0.5 - num / den);
}

EhlersStochastic::EhlersStochastic(std::uint64_t period)
    : period_(period),
      hp_(0.1230235370072432),
      ss_(SuperSmootherStage::length_ten()),
      hi_(period),
      lo_(period) {}

Result<EhlersStochastic, IndicatorError> EhlersStochastic::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return EhlersStochastic(period);
}

std::optional<double> EhlersStochastic::update(const BarSnapshot& bar) {
  const double x = bar_close(bar);
  if (!std::isfinite(x)) return no_value();
  const double hp = hp_.step(x);
  if (!std::isfinite(hp)) return no_value();
  const double f = ss_.step(hp);
  hi_.push(f);
  lo_.push(f);
  if (hi_.count() < period_) return no_value();
  const double hi = hi_.value();
  const double lo = lo_.value();
  const double raw = hi - lo > 0.0 ? fused_mul_add((f - lo) / (hi - lo), 2.0, -1.0) : 0.0;
  const double value = prev_raw_ ? midpoint(raw, *prev_raw_) : raw;
  prev_raw_ = raw;
  return value_out(value);
}

EvenBetterSinewave::EvenBetterSinewave(std::uint64_t duration, std::uint64_t smoothing)
    : hp_(sinewave_highpass(duration)),
      ss_(SuperSmootherStage::of_length(static_cast<double>(smoothing))) {}

Result<EvenBetterSinewave, IndicatorError> EvenBetterSinewave::create(std::uint64_t duration,
                                                                      std::uint64_t smoothing) {
  if (duration == 0 || smoothing == 0) return err(IndicatorError::zero_period());
  if (smoothing > MAX_PERIOD) return err(IndicatorError::invalid_period(kMaxPeriodReason));
  return EvenBetterSinewave(duration, smoothing);
}

namespace {

// The wave of the last three smoothed values.
double sinewave_of(double f0, double f1, double f2) {
  const double mean = (f2 + (f0 + f1)) / 3.0;
  const double power = (f2 * f2 + (f0 * f0 + f1 * f1)) / 3.0;
  return power > 0.0 ? clamp_unit(mean / std::sqrt(power)) : 0.0;
}

}  // namespace

std::optional<double> EvenBetterSinewave::update(const BarSnapshot& bar) {
  const double x = bar_close(bar);
  if (!std::isfinite(x)) return no_value();
  // One test an update, on the newest smoothed value: it follows the
  // high-pass below normal on a flat stretch. Below normal (or starting),
  // the blocks and the wave take the settled path out of line.
  if (below_normal(f0_)) [[unlikely]] {
    return settled_path([](EvenBetterSinewave* s, double in) { return s->kept(in); }, this, x);
  }
  const double hp = hp_.step_as<false>(x);
  if (!std::isfinite(hp)) return no_value();
  if (!smoothed(ss_.step_as<false>(hp))) return no_value();
  return value_out(sinewave_of(f0_, f1_, f2_));
}

std::optional<double> EvenBetterSinewave::kept(double x) {
  const double hp = hp_.step_as<true>(x);
  if (!std::isfinite(hp)) return no_value();
  if (!smoothed(ss_.step_as<true>(hp))) return no_value();
  // Squares and quotients of settled subnormal values are as slow as the
  // steps that made them.
  const auto wave = [](double f0, double f1, double f2) { return sinewave_of(f0, f1, f2); };
  return value_out(kept_apply(wave_, wave, f0_, f1_, f2_));
}

bool EvenBetterSinewave::smoothed(double f) {
  f2_ = f1_;
  f1_ = f0_;
  f0_ = f;
  if (outputs_seen_ < 3) ++outputs_seen_;
  return outputs_seen_ >= 3;
}

Result<UniversalOscillator, IndicatorError> UniversalOscillator::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return UniversalOscillator(
      SuperSmootherStage::of_length(static_cast<double>(period), kStandaloneSmootherAngle));
}

std::optional<double> UniversalOscillator::update(const BarSnapshot& bar) {
  const double x = bar_close(bar);
  if (!std::isfinite(x)) return no_value();
  // One test an update, on the smoothed momentum, the first to fall below
  // normal on a flat stretch (the peak decays by 0.991 a bar): below normal
  // (or starting), the smoothing, the peak and the value take the settled
  // path out of line, with the whole answer.
  if (below_normal(ss_.newest())) [[unlikely]] {
    return settled_path([](UniversalOscillator* u, double in) { return u->advance<true>(in); },
                        this, x);
  }
  return advance<false>(x);
}

template <bool Kept>
std::optional<double> UniversalOscillator::advance(double x) {
  std::optional<double> value;
  if (closes_seen_ < 2) {
    ++closes_seen_;
  } else {
    const double wn = (x - x2_) * 0.5;
    if (!std::isfinite(wn)) {
      value = last_;  // the previous value again, if there is one
    } else {
      const auto peak = [](double p, double f) { return std::max(std::abs(f), 0.991 * p); };
      const auto scaled = [](double f, double p) { return p > 0.0 ? clamp_unit(f / p) : 0.0; };
      const double f = ss_.step_as<Kept>(wn);
      if constexpr (Kept) {
        value = kept_scale_then_value(settled_, peak_, f, peak, scaled);
      } else {
        peak_ = peak(peak_, f);
        value = scaled(f, peak_);
      }
      last_ = value;
    }
  }
  x2_ = x1_;
  x1_ = x;
  return returned(value);
}

FlexOscillator::FlexOscillator(Kind kind, std::uint64_t period)
    : kind_(kind),
      n_(static_cast<double>(period)),
      ss_(SuperSmootherStage::of_length(static_cast<double>(period) * 0.5)),
      window_(period + 1) {}

Result<FlexOscillator, IndicatorError> FlexOscillator::create(Kind kind, std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return FlexOscillator(kind, period);
}

std::optional<double> FlexOscillator::update(const BarSnapshot& bar) {
  const double x = bar_close(bar);
  if (!std::isfinite(x)) return no_value();
  copies_.push(x);
  window_.push(ss_.step_of_prices(x));
  if (!window_.is_full()) return no_value();
  const std::size_t n = window_.len() - 1;
  // One pass over the path: about a step a value.
  if (stop_before(n)) return no_value();
  const double newest = window_[n];
  double sum = 0.0;
  if (kind_ == Kind::Reflex) {
    const double slope = (window_[0] - newest) / n_;
    for (std::size_t k = 1; k <= n; ++k) {
      sum = sum + ((newest + slope * static_cast<double>(k)) - window_[n - k]);
    }
  } else {
    for (std::size_t k = 1; k <= n; ++k) sum = sum + (newest - window_[n - k]);
  }
  sum = sum / n_;
  const double value = scale_then_value(
      settled_, ms_, sum, [](double ms, double s) { return ms * 0.96 + s * (s * 0.04); },
      [](double s, double ms) { return ms > 0.0 ? s / std::sqrt(ms) : 0.0; });
  // Closes that never moved smooth to themselves: the path is flat and its
  // mean square 0, so the value is 0 whatever residue the smoother's
  // rounding left in the window (the mean square keeps its arithmetic).
  return value_out(copies_.only_copies() ? 0.0 : value);
}

Result<EmpiricalModeDecomposition, IndicatorError> EmpiricalModeDecomposition::create(
    std::uint64_t period, double fraction) {
  FENDRO_CHECK(check_period(period));
  if (!(fraction > 0.0 && fraction <= 1.0)) {
    return err(IndicatorError::invalid_period("fraction must be in (0, 1]"));
  }
  return EmpiricalModeDecomposition(period, fraction);
}

std::uint64_t EmpiricalModeDecomposition::warmup_period() const {
  return std::max<std::uint64_t>(window_.capacity(), 50);
}

std::optional<double> EmpiricalModeDecomposition::update(const BarSnapshot& bar) {
  const double x = bar_close(bar);
  if (!std::isfinite(x)) return no_value();
  const double bp = bp_.step(x);
  if (const auto old = window_.push(bp)) sum_ = sum_ - *old;
  sum_ = sum_ + bp;
  if (bars_ < 50) ++bars_;
  if (!window_.is_full() || bars_ < 50) return no_value();
  return value_out(sum_ / static_cast<double>(window_.capacity()));
}

}  // namespace fendro::cycle
