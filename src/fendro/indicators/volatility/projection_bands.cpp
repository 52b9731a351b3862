#include "fendro/indicators/volatility/projection_bands.hpp"

#include <limits>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/util/run_scope.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {
using namespace vol;

Result<ProjectionBandsState, IndicatorError> ProjectionBandsState::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min_first(period, 2, "projection bands need period >= 2"));
  return ProjectionBandsState(period);
}

double window_slope(const ProjectionBandsState& s, const BoundedRing<double>& values) {
  const double n = static_cast<double>(s.period);
  const LineSums sums = line_sums(values, ring_sum(values) / n);
  return fit_slope(s.line, sums.sy, sums.sxy);
}

std::optional<ProjectionBandsValue> projection_bands_update(ProjectionBandsState& s, double high, double low) {
  s.highs.push(high);
  s.lows.push(low);
  if (!s.highs.is_full()) return std::nullopt;
  // Two slopes and the projected extremes: about five steps a bar.
  if (stop_before(5 * s.highs.len())) return std::nullopt;
  const double slope_h = window_slope(s, s.highs);
  const double slope_l = window_slope(s, s.lows);
  const double last = static_cast<double>(s.period - 1);
  double upper = -std::numeric_limits<double>::infinity();
  double lower = std::numeric_limits<double>::infinity();
  for (std::size_t i = 0; i < s.highs.len(); ++i) {
    const double ahead = last - static_cast<double>(i);  // bars to the newest
    const double h = slope_h * ahead + s.highs[i];
    const double l = slope_l * ahead + s.lows[i];
    if (h > upper) upper = h;
    if (l < lower) lower = l;
  }
  return ProjectionBandsValue{upper, midpoint(upper, lower), lower};
}

Result<ProjectionBands, IndicatorError> ProjectionBands::create(std::uint64_t period) {
  FENDRO_TRY(state, ProjectionBandsState::create(period));
  return ProjectionBands(std::move(state));
}

std::optional<double> ProjectionBands::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const auto b = projection_bands_update(state_, c->high, c->low);
  if (!b) return no_value();
  return value_out(out_.set(b->upper, b->middle, b->lower));
}

}  // namespace fendro
