#include "fendro/indicators/averages/mcginley.hpp"

#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"

namespace fendro {

Result<McGinleyDynamic, IndicatorError> McGinleyDynamic::create(std::uint64_t period) {
  FENDRO_TRY(state, ring_window_state_new(period));
  return McGinleyDynamic(std::move(state));
}

std::optional<double> McGinleyDynamic::update(const BarSnapshot& bar) {
  double close;
  if (!finite_close_to(bar, close)) return no_value();
  const double x = close;
  const double n = static_cast<double>(state_.period);
  const bool flat = flat_.push(x);
  std::optional<double>& value = state_.last;
  if (!value) {
    state_.state = state_.state + x;
    state_.ring.push(x);
    if (!state_.ring.is_full()) return no_value();
    value = state_.state / n;
    return value_out(flat_read(flat, x, *value));
  }
  const double prev = *value;
  // The ratio is meaningless for non-positive prices: hold the value.
  if (x <= 0.0 || prev <= 0.0) return value_out(flat_read(flat, x, prev));
  const double r = x / prev;
  value = prev + (x - prev) / ((r * r) * (r * r) * (n * 0.6));
  if (flat) [[unlikely]] return value_out(copy_read(x));
  return returned(value);
}

}  // namespace fendro
