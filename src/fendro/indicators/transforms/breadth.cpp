#include "fendro/indicators/transforms/breadth.hpp"
#include "fendro/indicators/common/returned.hpp"

namespace fendro {

Result<BreadthThrust, IndicatorError> BreadthThrust::create(std::uint64_t period) {
  FENDRO_TRY(ema, ema_state_new(period));
  return BreadthThrust(ema);
}

std::optional<double> BreadthThrust::update(const BarSnapshot& bar) {
  if (bar.cross_section == nullptr) return no_value();
  const breadth::Counts k = breadth::count(bar.cross_section->entries);
  const double share =
      breadth::as_f64(k.advancing) / breadth::at_least_one(k.advancing + k.declining);
  return returned(ema_update_settled(ema_, share));
}

Result<HighLowIndex, IndicatorError> HighLowIndex::create(std::uint64_t period) {
  FENDRO_TRY(window, sma_window_new(period));
  return HighLowIndex(std::move(window));
}

std::optional<double> HighLowIndex::update(const BarSnapshot& bar) {
  if (bar.cross_section == nullptr) return no_value();
  const breadth::Counts k = breadth::count(bar.cross_section->entries);
  const double percent =
      (breadth::as_f64(k.new_highs) * 100) / breadth::at_least_one(k.new_highs + k.new_lows);
  // A window of zeros averages to exactly 0, whatever residue the sum holds.
  return returned(sma_update_reading_zeros(window_, zeros_, percent));
}

}  // namespace fendro
