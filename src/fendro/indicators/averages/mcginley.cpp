#include "fendro/indicators/averages/mcginley.hpp"

#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

Result<McGinleyDynamic, IndicatorError> McGinleyDynamic::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return McGinleyDynamic(period);
}

std::optional<double> McGinleyDynamic::update(const BarSnapshot& bar) {
  const std::optional<double> close = finite_close(bar);
  if (!close) return no_value();
  const double x = *close;
  const double n = static_cast<double>(period_);
  if (!value_) {
    seed_sum_ = seed_sum_ + x;
    if (++seed_count_ < period_) return no_value();
    value_ = seed_sum_ / n;
    return returned(value_);
  }
  const double prev = *value_;
  // The ratio is meaningless for non-positive prices: hold the value.
  if (x <= 0.0 || prev <= 0.0) return value_out(prev);
  const double r = x / prev;
  value_ = prev + (x - prev) / ((r * r) * (r * r) * (n * 0.6));
  return returned(value_);
}

}  // namespace fendro
