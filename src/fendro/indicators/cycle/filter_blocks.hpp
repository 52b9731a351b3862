// The recursive building blocks of the cycle filters: a two-pole and a
// one-pole high-pass, the two-pole "super smoother" low-pass and a band-pass.
// Each block computes its coefficients once and keeps its own short history;
// a block that has not yet seen enough inputs answers its start-up value.
// Fed a constant, a high-pass or band-pass decays into the subnormal numbers
// and settles there: each block then skips the steps that leave its whole
// state as it was (kept_block, on its settled path). One test a step, on the
// newest output: the older ones follow it below normal a bar or two later.
// An owner of several blocks may test once for all of them (step_as).
#pragma once

#include <cmath>
#include <array>
#include <bit>
#include <cstdint>
#include <type_traits>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/windows/settled_step.hpp"
#include "fendro/util/math.hpp"

namespace fendro::cycle {

inline constexpr double kTwoPi = 6.283185307179586;
// 0.707 * 2 pi: the two-pole high-pass angle constant.
inline constexpr double kHighpassAngle = 4.442212012175967;
// sqrt(2) * pi: the smoother constant of the composite filters.
inline constexpr double kSmootherAngle = 4.442882938158366;
// The slightly smaller constant the stand-alone smoother types are built with.
inline constexpr double kStandaloneSmootherAngle = 4.442882684838626;

// The steps every block shares, over its newest output, its plain step
// advance(x) and its settled one kept(x): step tests the newest output once
// and takes the settled step out of line below normal; step_as is the plain
// step, or the settled one (Kept), for an owner that tests its blocks'
// outputs once an update and takes its own settled path.
template <class Block>
class FilterBlockSteps {
 public:
  double step(double x) {
    Block& b = static_cast<Block&>(*this);
    if (below_normal(b.newest())) [[unlikely]] {
      return settled_path([](Block* k, double in) { return k->kept(in); }, &b, x);
    }
    return b.advance(x);
  }
  template <bool Kept>
  double step_as(double x) {
    Block& b = static_cast<Block&>(*this);
    if constexpr (Kept) {
      return b.kept(x);
    } else {
      return b.advance(x);
    }
  }
};

// Two-pole high-pass: 0 until two earlier inputs exist.
class TwoPoleHighpass : public FilterBlockSteps<TwoPoleHighpass> {
 public:
  explicit TwoPoleHighpass(std::uint64_t period) {
    const double w = kHighpassAngle / static_cast<double>(period);
    const double c = cr::cos(w);
    const double alpha = ((c + cr::sin(w)) - 1.0) / c;
    k_hp1_ = 2.0 * (1.0 - alpha);
    const double half = alpha * -0.5 + 1.0;
    k_x_ = half * half;
    k_hp2_ = (1.0 - alpha) * (1.0 - alpha);
  }

  // The newest output, the one step tests.
  const double& newest() const { return hp1_; }

 private:
  friend class FilterBlockSteps<TwoPoleHighpass>;
  // step on the settled path: skipped where it leaves the whole state as it was.
  double kept(double x) {
    const auto bits = [this] { return bits_of(hp1_, hp2_, x1_, x2_, seen_); };
    const auto step = [this](double in) { return advance(in); };
    return kept_block(settled_, bits, x, hp1_, step);
  }
  double advance(double x) {
    double hp = 0.0;
    if (seen_ >= 2) hp = (hp1_ * k_hp1_ + (x2_ + (x - (x1_ + x1_))) * k_x_) - hp2_ * k_hp2_;
    hp2_ = hp1_;
    hp1_ = hp;
    x2_ = x1_;
    x1_ = x;
    if (seen_ < 2) ++seen_;
    return hp;
  }

  double k_hp1_, k_x_, k_hp2_;
  double hp1_ = 0.0, hp2_ = 0.0, x1_ = 0.0, x2_ = 0.0;
  int seen_ = 0;
  SettledBlock<5> settled_;
};

// One-pole high-pass: 0 on the first input. A non-finite answer is the
// caller's signal to stop the chain for this bar.
class OnePoleHighpass : public FilterBlockSteps<OnePoleHighpass> {
 public:
  static OnePoleHighpass of_period(std::uint64_t period) {
    const double w = kTwoPi / static_cast<double>(period);
    const double c = cr::cos(w);
    return OnePoleHighpass(((c + cr::sin(w)) - 1.0) / c);
  }
  explicit OnePoleHighpass(double alpha) : OnePoleHighpass(1.0 - alpha, alpha * -0.5 + 1.0) {}
  // The gains of the last output and of the input's change, as given.
  static OnePoleHighpass of_gains(double k_hp, double k_x) { return OnePoleHighpass(k_hp, k_x); }

  // The newest output, the one step tests.
  const double& newest() const { return hp1_; }

 private:
  friend class FilterBlockSteps<OnePoleHighpass>;
  // step on the settled path: skipped where it leaves the whole state as it was.
  double kept(double x) {
    const auto bits = [this] { return bits_of(hp1_, x1_, has_x1_); };
    const auto step = [this](double in) { return advance(in); };
    return kept_block(settled_, bits, x, hp1_, step);
  }
  double advance(double x) {
    double hp = 0.0;
    if (has_x1_) {
      hp = k_hp_ * hp1_ + (x - x1_) * k_x_;
    } else {
      has_x1_ = true;
    }
    hp1_ = hp;
    x1_ = x;
    return hp;
  }

  OnePoleHighpass(double k_hp, double k_x) : k_hp_(k_hp), k_x_(k_x) {}

  double k_hp_, k_x_;
  double hp1_ = 0.0, x1_ = 0.0;
  bool has_x1_ = false;
  SettledBlock<3> settled_;
};

// Two-pole low-pass over the midpoint of the last two inputs; passes its
// input through until two earlier outputs exist.
class SuperSmootherStage : public FilterBlockSteps<SuperSmootherStage> {
 public:
  // Coefficients of length `length` with the angle constant `angle`.
  static SuperSmootherStage of_length(double length, double angle = kSmootherAngle) {
    const double q = angle / length;
    const double a = cr::exp(-q);
    const double b = cr::cos(q) * (a + a);
    const double c3 = -(a * a);
    return SuperSmootherStage((1.0 - b) - c3, b, c3);
  }
  // The fixed coefficients of length 10, used by the stochastic and the
  // periodogram.
  static SuperSmootherStage length_ten() {
    return SuperSmootherStage(0.2531948016118099, 1.1580458998309644, -0.4112407014427743);
  }
  SuperSmootherStage(double c1, double c2, double c3) : c1_(c1), c2_(c2), c3_(c3) {}

  // The newest output, the one step tests.
  const double& newest() const { return f1_; }
  // step for a series of prices: their low-pass stays at the last price on a
  // halted market, a normal number, so it has nothing to settle.
  double step_of_prices(double u) { return advance(u); }

 private:
  friend class FilterBlockSteps<SuperSmootherStage>;
  // step on the settled path: skipped where it leaves the whole state as it was.
  double kept(double u) {
    const auto bits = [this] { return bits_of(u1_, f1_, f2_, seen_); };
    const auto step = [this](double in) { return advance(in); };
    return kept_block(settled_, bits, u, f1_, step);
  }
  double advance(double u) {
    const double f = seen_ >= 2 ? (midpoint(u, u1_) * c1_ + f1_ * c2_) + f2_ * c3_ : u;
    f2_ = f1_;
    f1_ = f;
    u1_ = u;
    if (seen_ < 2) ++seen_;
    return f;
  }

  double c1_, c2_, c3_;
  double u1_ = 0.0, f1_ = 0.0, f2_ = 0.0;
  int seen_ = 0;
  SettledBlock<4> settled_;
};

// Band-pass of relative bandwidth d: 0 until two earlier inputs exist.
class BandpassStage : public FilterBlockSteps<BandpassStage> {
 public:
  BandpassStage(std::uint64_t period, double d) {
    const double p = static_cast<double>(period);
    const double beta = cr::cos(kTwoPi / p);
    const double gamma = 1.0 / cr::cos(d * 12.566370614359172 / p);
    const double alpha = gamma - std::sqrt(gamma * gamma - 1.0);
    k_x_ = (1.0 - alpha) * 0.5;
    k_bp1_ = beta * (alpha + 1.0);
    k_bp2_ = alpha;
  }

  // The newest output, the one step tests.
  const double& newest() const { return bp1_; }

 private:
  friend class FilterBlockSteps<BandpassStage>;
  // step on the settled path: skipped where it leaves the whole state as it was.
  double kept(double x) {
    const auto bits = [this] { return bits_of(bp1_, bp2_, x1_, x2_, seen_); };
    const auto step = [this](double in) { return advance(in); };
    return kept_block(settled_, bits, x, bp1_, step);
  }
  double advance(double x) {
    const double bp = seen_ >= 2 ? ((x - x2_) * k_x_ + k_bp1_ * bp1_) - k_bp2_ * bp2_ : 0.0;
    bp2_ = bp1_;
    bp1_ = bp;
    x2_ = x1_;
    x1_ = x;
    if (seen_ < 2) ++seen_;
    return bp;
  }

  double k_x_, k_bp1_, k_bp2_;
  double bp1_ = 0.0, bp2_ = 0.0, x1_ = 0.0, x2_ = 0.0;
  int seen_ = 0;
  SettledBlock<5> settled_;
};

// A scale that follows a series (a decaying peak, a mean square) and the
// series' value against it. On a flat stretch both fall into the subnormal
// numbers and settle; the scale's step is then skipped once it gives back its
// state for this input, and the value is the one last computed from this
// very input and scale.
struct SettledScale {
  SettledStep step;
  SettledValue<2> value;
};

// Within a settled path: scale = step(scale, x), then value(x, scale), each
// skipped where it was last given these very bits.
template <class Step, class Value>
double kept_scale_then_value(SettledScale& memo, double& scale, double x, Step step,
                             Value value) {
  scale = kept_step(memo.step, scale, x, step);
  return fendro::detail::kept_value(memo.value, value, x, scale);
}

namespace detail {

template <class Step, class Value>
[[gnu::noinline, gnu::cold]] double scale_then_value_below_normal(SettledScale& memo,
                                                                  double& scale, double x,
                                                                  Step step, Value value) {
  return kept_scale_then_value(memo, scale, x, step, value);
}

}  // namespace detail

// scale = step(scale, x), then value(x, scale): both pure in exactly their
// arguments. One test of the scale as it was decides for both (a scale that
// leaves the normal numbers pays one step and one value in full).
template <class Step, class Value>
[[gnu::always_inline]] inline double scale_then_value(SettledScale& memo, double& scale, double x,
                                                      Step step, Value value) {
  if (!below_normal(scale)) [[likely]] {
    scale = step(scale, x);
    return value(x, scale);
  }
  return detail::scale_then_value_below_normal(memo, scale, x, step, value);
}

}  // namespace fendro::cycle
