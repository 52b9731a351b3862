#include "fendro/indicators/averages/holt_winters.hpp"

#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"

namespace fendro {
namespace {

bool in_unit_interval(double f) { return f > 0.0 && f <= 1.0; }  // NaN fails

}  // namespace

Result<HoltWinters, IndicatorError> HoltWinters::create(double alpha, double beta) {
  if (!in_unit_interval(alpha)) {
    return err(IndicatorError::invalid_period("HoltWinters alpha must be in (0.0, 1.0]"));
  }
  if (!in_unit_interval(beta)) {
    return err(IndicatorError::invalid_period("HoltWinters beta must be in (0.0, 1.0]"));
  }
  return HoltWinters(alpha, beta);
}

std::optional<double> HoltWinters::update(const BarSnapshot& bar) {
  double close;
  if (!finite_close_to(bar, close)) return no_value();
  const double x = close;
  const bool flat = flat_.push(x);
  if (!first_close_) {
    first_close_ = x;
    return no_value();
  }
  if (!ready_) {
    trend_ = x - *first_close_;
    level_ = x;
    ready_ = true;
    return value_out(level_ + trend_);
  }
  const double v = settled_block(
      settled_, below_normal(trend_), [this] { return bits_of(level_, trend_); }, x,
      level_ + trend_, [this](double in) { return smooth(in); });
  return value_out(flat_read(flat, x, v));
}

double HoltWinters::smooth(double x) {
  const double level = x * alpha_ + (level_ + trend_) * (1.0 - alpha_);
  trend_ = trend_ * (1.0 - beta_) + beta_ * (level - level_);
  level_ = level;
  return level_ + trend_;
}

}  // namespace fendro
