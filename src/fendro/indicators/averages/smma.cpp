#include "fendro/indicators/averages/smma.hpp"

#include <cmath>

#include "fendro/indicators/windows/bar_close.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

Result<Smma, IndicatorError> Smma::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return Smma(period);
}

std::optional<double> Smma::update(const BarSnapshot& bar) {
  const double x = bar_close(bar);
  if (!std::isfinite(x)) return std::nullopt;
  const double n = static_cast<double>(period_);
  if (value_) {
    value_ = (x + *value_ * (n + (-1.0))) / n;
    return value_;
  }
  seed_sum_ = x + seed_sum_;
  if (++seed_count_ < period_) return std::nullopt;
  value_ = seed_sum_ / static_cast<double>(seed_count_);
  return value_;
}

}  // namespace fendro
