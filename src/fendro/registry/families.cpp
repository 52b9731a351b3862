#include "fendro/registry/families.hpp"

#include <array>

namespace fendro::registry {

std::span<const Family> titled_families() {
  static const std::array<Family, 17> all = {{
      {"Moving averages", basic_average_entries()},
      {"Moving averages", average_entries()},
      {"Trend and stops", trend_entries()},
      {"Volatility", volatility_entries()},
      {"Volume and profiles", volume_entries()},
      {"Order flow and derivatives", orderflow_entries()},
      {"Momentum", momentum_entries()},
      {"Momentum", momentum_oscillator_entries()},
      {"Cycles", cycle_entries()},
      {"Statistics", statistics_entries()},
      {"Performance", performance_entries()},
      {"Pairs and regimes", pair_regime_entries()},
      {"Candle patterns", candle_pattern_entries()},
      {"Candle patterns", multi_candle_pattern_entries()},
      {"Chart patterns and sequential counts", chart_pattern_entries()},
      {"Levels", level_entries()},
      {"Price transforms, calendar and breadth", transform_entries()},
  }};
  return all;
}

std::span<const std::span<const Entry>> families() {
  static const auto all = [] {
    std::array<std::span<const Entry>, 17> spans{};
    for (std::size_t i = 0; i < spans.size(); ++i) spans[i] = titled_families()[i].entries;
    return spans;
  }();
  return all;
}

}  // namespace fendro::registry
