#include "fendro/indicators/averages/jma.hpp"

#include <algorithm>
#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {
namespace {

double raise(double beta, std::uint32_t power) {
  switch (power) {
    case 1: return beta;
    case 2: return beta * beta;
    case 3: return beta * (beta * beta);
    default: return (beta * beta) * (beta * beta);
  }
}

}  // namespace

Result<Jma, IndicatorError> Jma::create(std::uint64_t period, double phase, std::uint32_t power) {
  FENDRO_CHECK(check_period(period));
  if (!std::isfinite(phase)) return err(IndicatorError::invalid_period("JMA phase must be a finite value"));
  if (power < 1 || power > 4) return err(IndicatorError::invalid_period("JMA power must be in 1..=4"));
  return Jma(period, phase, power);
}

Jma::Jma(std::uint64_t period, double phase, std::uint32_t power) {
  const double b = 0.45 * (static_cast<double>(period) - 1.0);
  beta_ = b / (b + 2.0);
  alpha_ = raise(beta_, power);
  phase_ratio_ = std::clamp(phase / 100.0 + 1.5, 0.5, 2.5);
}

std::optional<double> Jma::update(const BarSnapshot& bar) {
  double close;
  if (!finite_close_to(bar, close)) return no_value();
  const double x = close;
  const bool flat = flat_.push(x);
  if (!value_) {
    e0_ = x;
    value_ = x;
    return value_out(x);
  }
  // One test an update, on the last detrended stage, which the first feeds:
  // below normal (or starting), the step takes the settled path out of line.
  if (below_normal(det1_)) [[unlikely]] {
    const double v = settled_path([](Jma* j, double in) { return j->kept(in); }, this, x);
    return value_out(flat_read(flat, x, v));
  }
  const double v = smooth(x);
  if (flat) [[unlikely]] return value_out(copy_read(x));
  return value_out(v);
}

double Jma::kept(double x) {
  const auto bits = [this] { return bits_of(e0_, det0_, det1_, *value_); };
  const auto step = [this](double in) { return smooth(in); };
  return kept_block(settled_, bits, x, *value_, step);
}

double Jma::smooth(double x) {
  const double value = *value_;
  const double keep = 1.0 - alpha_;
  e0_ = x * keep + alpha_ * e0_;
  det0_ = (x - e0_) * (1.0 - beta_) + beta_ * det0_;
  det1_ = (alpha_ * alpha_) * det1_ + keep * (keep * ((e0_ + phase_ratio_ * det0_) - value));
  *value_ = value + det1_;  // engaged since the first close
  return *value_;
}

}  // namespace fendro
