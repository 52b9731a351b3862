#include "fendro/indicators/averages/hull.hpp"

#include <algorithm>
#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/bar_close.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

HullLengths hull_lengths(std::uint64_t n) {
  // sqrt(n) is never halfway between two integers for an integral n, so
  // rounding has no tie to break.
  const auto root = static_cast<std::uint64_t>(std::round(std::sqrt(static_cast<double>(n))));
  return {std::max<std::uint64_t>(n / 2, 1), std::max<std::uint64_t>(root, 1)};
}

Result<Hma, IndicatorError> Hma::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return Hma(period, hull_lengths(period));
}

std::optional<double> Hma::update(const BarSnapshot& bar) {
  const double x = bar_close(bar);
  // Both windows take the bar, whatever the other one says.
  double half;
  double full;
  const bool has_half = wma_sums_update_to(half_, x, half);
  const bool has_full = wma_sums_update_to(full_, x, full);
  copies_.push(x);
  double v;
  if (!has_half || !has_full || !wma_sums_update_to(smooth_, (half + half) - full, v)) return no_value();
  // Copies of x for the full window and then the smoothing's: both averages
  // are x, so the smoothing holds only 2x - x = x.
  if (copies_.holds_only_copies(period_ + smooth_.period - 1)) [[unlikely]] return value_out(copy_read(x));
  return value_out(v);
}

Result<Ehma, IndicatorError> Ehma::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return Ehma(period, hull_lengths(period));
}

std::optional<double> Ehma::update(const BarSnapshot& bar) {
  double x;
  if (!finite_close_to(bar, x)) return no_value();
  const std::optional<double> half = ema_update(half_, x);
  const std::optional<double> full = ema_update(full_, x);
  if (!half || !full) return no_value();
  const double d = (*half + *half) - *full;
  if (!std::isfinite(d)) return no_value();
  return returned(ema_update(smooth_, d));
}

}  // namespace fendro
