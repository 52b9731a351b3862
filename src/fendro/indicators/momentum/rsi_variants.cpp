#include "fendro/indicators/momentum/rsi_variants.hpp"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/momentum/moves.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/util/saturating.hpp"

namespace fendro {
namespace {

// Keeps a value inside [0, 100] (NaN passes through).
double clamp_percent(double v) {
  if (v < 0.0) return 0.0;
  if (v > 100.0) return 100.0;
  return v;
}

}  // namespace

Result<Rmi, IndicatorError> Rmi::create(std::uint64_t period, std::uint64_t lookback) {
  if (period == 0 || lookback == 0) return err(IndicatorError::zero_period());
  return Rmi(period, lookback);
}

std::uint64_t Rmi::warmup_period() const { return sat_add(gains_.period, closes_.capacity()); }

namespace {

// 100 * gain / (gain + loss) of the two averages, 50 when both are 0.
double rmi_share(double gain, double loss) {
  const double total = gain + loss;
  if (total == 0.0) return 50.0;
  return (gain / total) * 100.0;
}

}  // namespace

std::optional<double> Rmi::update(const BarSnapshot& bar) {
  double close;
  if (!finite_close_to(bar, close)) return no_value();
  const double c = close;
  if (!closes_.is_full()) {
    closes_.push(c);
    return no_value();
  }
  const Move mv = split_move(c - closes_.replace_oldest(c));
  halt_.push((mv.gain == 0.0) & (mv.loss == 0.0));
  // One test an update for both averages, which seed on the same bars and
  // are 0 until then: below normal, the update takes the settled path out of
  // line, which also seeds; a normal one has been seeded.
  if (all_below_normal(gains_.value, losses_.value)) [[unlikely]] {
    return settled_path([](Rmi* r, double gain, double loss) { return r->kept(gain, loss); },
                        this, mv.gain, mv.loss);
  }
  const double n = static_cast<double>(gains_.period);
  gains_.value = smma_step(gains_.value, mv.gain, n);
  losses_.value = smma_step(losses_.value, mv.loss, n);
  return value_out(halt_.read(rmi_share(gains_.value, losses_.value), gains_.period));
}

std::optional<double> Rmi::kept(double gain, double loss) {
  const std::optional<double> g = smma_update_kept(gains_, gain);
  const std::optional<double> l = smma_update_kept(losses_, loss);
  if (!g || !l) return no_value();
  const auto share = [](double up, double down) { return rmi_share(up, down); };
  return value_out(halt_.read(kept_apply(share_kept_, share, *g, *l), gains_.period));
}

Result<AdaptiveRsi, IndicatorError> AdaptiveRsi::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return AdaptiveRsi(period);
}

std::optional<double> AdaptiveRsi::update(const BarSnapshot& bar) {
  double close;
  if (!finite_close_to(bar, close)) return no_value();
  const double c = close;
  closes_.push(c);
  const auto ch = next_change(prev_, c);
  if (!ch) return no_value();
  const double change = *ch;
  const double dist = std::abs(change);
  if (const auto old = changes_.push(dist)) path_ = path_ - *old;
  path_ = path_ + dist;
  const Move mv = split_move(change);
  halt_.push(change == 0.0);
  if (!have_avg_) {
    gain_seed_ = gain_seed_ + mv.gain;
    loss_seed_ = loss_seed_ + mv.loss;
    if (++seeded_ < period_) return no_value();
    const double n = static_cast<double>(period_);
    avg_gain_ = gain_seed_ / n;
    avg_loss_ = loss_seed_ / n;
    have_avg_ = true;
  } else {
    // The smoothing constant runs from (2/31)^2 in noise to (2/3)^2 in a
    // clean trend; with no movement at all it stays at the slow end.
    double sc = 0.004162330905306971;
    if (path_ != 0.0) {
      double er = std::abs(c - closes_.front()) / path_;
      if (er < 0.0) er = 0.0;
      if (er > 1.0) er = 1.0;
      const double f = er * 0.6021505376344085 + 0.06451612903225806;
      sc = f * f;
    }
    avg_gain_ = avg_gain_ + (mv.gain - avg_gain_) * sc;
    avg_loss_ = avg_loss_ + (mv.loss - avg_loss_) * sc;
  }
  const double total = avg_gain_ + avg_loss_;
  return value_out(halt_.read(total != 0.0 ? (avg_gain_ / total) * 100.0 : 50.0, period_));
}

Result<Rsx, IndicatorError> Rsx::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return Rsx(period);
}

Rsx::Rsx(std::uint64_t n)
    : a_(3.0 / static_cast<double>(n + 2)), b_(1.0 - a_), period_(n) {}

namespace {

// The index before clamping, from the last two momentum and absolute-momentum
// stages: 50 while the absolute-momentum blend is not above 0.
double rsx_blend(double s4, double s5, double u4, double u5) {
  const double w3 = 1.5 * u4 - 0.5 * u5;
  double value = 50.0;
  if (w3 > 0.0) value = ((1.5 * s4 + (-0.5) * s5) / w3 + 1.0) * 50.0;
  return value;
}

}  // namespace

std::optional<double> Rsx::update(const BarSnapshot& bar) {
  double c;
  if (!finite_close_to(bar, c)) return no_value();
  // The change from the last close, spelled out: next_change's answer kept
  // its flag in memory here, an instruction a bar.
  if (!prev_) {
    prev_ = c;
    return no_value();
  }
  const double m = c - *prev_;
  prev_ = c;
  halt_.push(m == 0.0);
  // One test an update, on the last absolute-momentum stage: it trails the
  // others below normal on a flat stretch and is a normal number on a moving
  // market. Below normal, the stages and the blend take the settled path out
  // of line.
  double value;
  const bool sunk = below_normal(u_[5]);
  if (sunk) [[unlikely]] {
    value = settled_path([](Rsx* r, double in) { return r->blend<true>(in); }, this, m);
  } else {
    value = blend<false>(m);
  }
  value = halt_.read_steady(clamp_percent(value), period_, sunk || below_normal(s_[5]));
  if (++steps_ < period_) return no_value();
  return value_out(value);
}

template <bool Kept>
double Rsx::blend(double m) {
  if constexpr (Kept) {
    const auto bits = [this] {
      return bits_of(s_[0], s_[1], s_[2], s_[3], s_[4], s_[5], u_[0], u_[1], u_[2], u_[3], u_[4],
                     u_[5]);
    };
    const auto step = [this](double in) {
      stages(in);
      return 0.0;
    };
    kept_block(settled_stages_, bits, m, 0.0, step);
    const auto index = [](double s4, double s5, double u4, double u5) {
      return rsx_blend(s4, s5, u4, u5);
    };
    return kept_apply(settled_blend_, index, s_[4], s_[5], u_[4], u_[5]);
  } else {
    stages(m);
    return rsx_blend(s_[4], s_[5], u_[4], u_[5]);
  }
}

// The twelve stages, one input's step.
void Rsx::stages(double m) {
  const double am = std::abs(m);
  const auto stage = [this](double& st, double in) { st = st * b_ + in * a_; };
  // Each pair of stages is followed by the double-smoothing blend 1.5 x - 0.5 y.
  stage(s_[0], m);
  stage(s_[1], s_[0]);
  const double p1 = 1.5 * s_[0] - 0.5 * s_[1];
  stage(s_[2], p1);
  stage(s_[3], s_[2]);
  const double p2 = 1.5 * s_[2] - 0.5 * s_[3];
  stage(s_[4], p2);
  stage(s_[5], s_[4]);
  stage(u_[0], am);
  stage(u_[1], u_[0]);
  const double w1 = 1.5 * u_[0] - 0.5 * u_[1];
  stage(u_[2], w1);
  stage(u_[3], u_[2]);
  const double w2 = 1.5 * u_[2] - 0.5 * u_[3];
  stage(u_[4], w2);
  stage(u_[5], u_[4]);
}

std::optional<double> AnchoredRsi::update(const BarSnapshot& bar) {
  double c;
  if (!finite_close_to(bar, c)) return no_value();
  const auto change = next_change(prev_, c);
  if (!change) return no_value();
  if (*change > 0.0) up_ = up_ + *change;
  if (*change < 0.0) down_ = down_ + -*change;
  if (down_ == 0.0) return value_out(up_ == 0.0 ? 50.0 : 100.0);
  return value_out(100.0 - 100.0 / (up_ / down_ + 1.0));
}

Result<LaguerreRsi, IndicatorError> LaguerreRsi::create(double gamma) {
  if (!std::isfinite(gamma) || gamma < 0.0 || gamma > 1.0) {
    return err(
        IndicatorError::invalid_period("LaguerreRSI gamma must be a finite value in [0, 1]"));
  }
  return LaguerreRsi(gamma);
}

std::optional<double> LaguerreRsi::update(const BarSnapshot& bar) {
  double c;
  if (!finite_close_to(bar, c)) return no_value();
  if (!primed_) {
    primed_ = true;
    l_[0] = l_[1] = l_[2] = l_[3] = c;
    return value_out(50.0);
  }
  const double g = g_;
  const double l0 = c * one_minus_g_ + l_[0] * g;
  const double l1 = l_[1] * g + (l_[0] - g * l0);
  const double l2 = l_[2] * g + (l_[1] - g * l1);
  const double l3 = l_[3] * g + (l_[2] - g * l2);
  l_[0] = l0;
  l_[1] = l1;
  l_[2] = l2;
  l_[3] = l3;
  double cu = 0.0;
  double cd = 0.0;
  for (int k = 0; k < 3; ++k) {
    if (l_[k] < l_[k + 1]) {
      cd = cd + (l_[k + 1] - l_[k]);
    } else {
      cu = cu + (l_[k] - l_[k + 1]);
    }
  }
  if (cu + cd <= 0.0) return value_out(50.0);
  return value_out(clamp_percent((cu * 100.0) / (cu + cd)));
}

}  // namespace fendro
