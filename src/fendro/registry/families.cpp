#include "fendro/registry/families.hpp"

#include <array>

namespace fendro::registry {

std::span<const std::span<const Entry>> families() {
  static const std::array all = {
      basic_average_entries(),        average_entries(),
      trend_entries(),                volatility_entries(),
      volume_entries(),               orderflow_entries(),
      momentum_entries(),             momentum_oscillator_entries(),
      cycle_entries(),                statistics_entries(),
      performance_entries(),          pair_regime_entries(),
      candle_pattern_entries(),       multi_candle_pattern_entries(),
      chart_pattern_entries(),        level_entries(),
      transform_entries(),
  };
  return all;
}

}  // namespace fendro::registry
