#include "fendro/indicators/volume/volume_profiles.hpp"

#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/util/run_scope.hpp"

namespace fendro {
// ---- VolumeProfile ----

Result<VolumeProfile, IndicatorError> VolumeProfile::create(std::uint64_t period,
                                                            std::uint64_t bins) {
  FENDRO_CHECK(volume::check_period_and_bins(period, bins));
  return VolumeProfile(period);
}

std::optional<double> VolumeProfile::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  lows_.push(c->low);
  highs_.push(c->high);
  if (lows_.count() < period_) return no_value();
  return value_out(outputs_.set(lows_.value(), highs_.value()));
}

// ---- ValueArea, CompositeProfile ----

template <bool Edges>
Result<ValueAreaProfile<Edges>, IndicatorError> ValueAreaProfile<Edges>::create(
    std::uint64_t period, std::uint64_t bins, double value_area_pct) {
  FENDRO_CHECK(volume::check_period_and_bins(period, bins));
  if (!(std::isfinite(value_area_pct) && value_area_pct > 0.0 && value_area_pct <= 1.0)) {
    constexpr std::string_view kWhy = "value_area_pct must be in (0, 1]";
    return err(Edges ? IndicatorError::invalid_period(kWhy) : IndicatorError::invalid_parameter(kWhy));
  }
  return ValueAreaProfile(period, bins, value_area_pct);
}

template <bool Edges>
std::optional<double> ValueAreaProfile<Edges>::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr || !volume::roll(window_, *c)) return no_value();
  const volume::ProfileBars bars = volume::ProfileBars::of(window_);
  const std::optional<volume::BinGrid> grid = volume::BinGrid::of(bars, bins_);
  if (!grid) return no_value();
  if (grid->flat()) return value_out(outputs_.set(grid->low, grid->low, grid->low));
  if (runs_.stop_after_build(*grid, bars)) return no_value();
  const std::uint64_t poc = volume::point_of_control(runs_);
  const std::optional<volume::ValueAreaBins> area = volume::value_area(runs_, poc, pct_);
  if (!area) return no_value();
  if constexpr (Edges) {
    return value_out(outputs_.set(grid->center(poc), grid->edge(area->high + 1), grid->edge(area->low)));
  } else {
    return value_out(outputs_.set(grid->center(poc), grid->center(area->high), grid->center(area->low)));
  }
}

template class ValueAreaProfile<true>;
template class ValueAreaProfile<false>;

// ---- HighLowVolumeNodes ----

Result<HighLowVolumeNodes, IndicatorError> HighLowVolumeNodes::create(std::uint64_t period,
                                                                      std::uint64_t bins) {
  FENDRO_CHECK(volume::check_period_and_bins(period, bins));
  return HighLowVolumeNodes(period, bins);
}

std::optional<double> HighLowVolumeNodes::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr || !volume::roll(window_, *c)) return no_value();
  const volume::ProfileBars bars = volume::ProfileBars::of(window_);
  const std::optional<volume::BinGrid> grid = volume::BinGrid::of(bars, bins_);
  if (!grid) return no_value();
  // A flat window counts all its volume in bin 0 with no width: both nodes sit at L.
  if (grid->flat()) return value_out(outputs_.set(grid->low, grid->low));
  // The low volume node's walk compares every run, unpredictably: about
  // four steps a run beyond those of the build.
  if (runs_.stop_after_build(*grid, bars) || stop_before(4 * runs_.size())) return no_value();
  const std::uint64_t hvn = volume::point_of_control(runs_);
  const std::uint64_t lvn = volume::low_volume_node(runs_, hvn);
  return value_out(outputs_.set(grid->center(hvn), grid->center(lvn)));
}

}  // namespace fendro
