// One table of registry entries per indicator family; each family defines its
// own function beside its types. Adding a family adds one line here and one in
// families.cpp; adding a type touches only its family's table.
#pragma once

#include <span>
#include <string_view>

#include "fendro/registry/registry.hpp"

namespace fendro::registry {

std::span<const Entry> basic_average_entries();     // indicators/averages/entries_basic.cpp
std::span<const Entry> average_entries();           // indicators/averages/entries.cpp
std::span<const Entry> trend_entries();             // indicators/trend/entries.cpp
std::span<const Entry> volatility_entries();        // indicators/volatility/entries.cpp
std::span<const Entry> volume_entries();            // indicators/volume/entries.cpp
std::span<const Entry> orderflow_entries();         // indicators/orderflow/entries.cpp
std::span<const Entry> momentum_entries();          // indicators/momentum/entries.cpp
std::span<const Entry> momentum_oscillator_entries();  // indicators/momentum/entries_oscillators.cpp
std::span<const Entry> cycle_entries();             // indicators/cycle/entries.cpp
std::span<const Entry> statistics_entries();        // indicators/statistics/entries.cpp
std::span<const Entry> performance_entries();       // indicators/performance/entries.cpp
std::span<const Entry> pair_regime_entries();       // indicators/pairs/entries.cpp
std::span<const Entry> candle_pattern_entries();    // indicators/patterns/entries.cpp
std::span<const Entry> multi_candle_pattern_entries();  // indicators/patterns/entries_multi.cpp
std::span<const Entry> chart_pattern_entries();     // indicators/chart/entries.cpp
std::span<const Entry> level_entries();             // indicators/levels/entries.cpp
std::span<const Entry> transform_entries();         // indicators/transforms/entries.cpp

// A family's table under the title the indicator reference gives it; two
// tables of one family share the title.
struct Family {
  std::string_view title;
  std::span<const Entry> entries;
};
std::span<const Family> titled_families();

}  // namespace fendro::registry
