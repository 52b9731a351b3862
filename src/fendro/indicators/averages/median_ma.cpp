#include "fendro/indicators/averages/median_ma.hpp"

#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"

namespace fendro {

Result<MedianMa, IndicatorError> MedianMa::create(std::uint64_t period) {
  FENDRO_TRY(w, sorted_window_new(period));
  return MedianMa(std::move(w));
}

std::optional<double> MedianMa::update(const BarSnapshot& bar) {
  double x;
  if (!finite_close_to(bar, x)) return no_value();
  if (window_.stop_after_push(x) || !window_.is_full()) return no_value();
  const auto s = window_.sorted();
  const std::size_t mid = s.size() / 2;
  if (s.size() % 2 == 1) return value_out(s[mid]);
  return value_out(midpoint(s[mid - 1], s[mid]));
}

}  // namespace fendro
