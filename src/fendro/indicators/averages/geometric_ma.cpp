#include "fendro/indicators/averages/geometric_ma.hpp"

#include <cmath>

#include "fendro/indicators/windows/bar_close.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

Result<GeometricMa, IndicatorError> GeometricMa::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return GeometricMa(period);
}

std::optional<double> GeometricMa::update(const BarSnapshot& bar) {
  const double x = bar_close(bar);
  if (!std::isfinite(x) || !(x > 0.0)) return std::nullopt;
  const double l = std::log(x);
  if (const std::optional<double> old = logs_.push(l)) sum_ = sum_ - *old;
  sum_ = sum_ + l;
  if (++pushes_ == period_) {
    double exact = -0.0;
    logs_.for_each([&exact](double v) { exact = exact + v; });
    sum_ = exact;
    pushes_ = 0;
  }
  if (!logs_.is_full()) return std::nullopt;
  return std::exp(sum_ / static_cast<double>(period_));
}

}  // namespace fendro
