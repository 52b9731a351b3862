// The previous candle's high and low, as the stops that measure penetration
// keep them.
#pragma once

#include <optional>
#include <utility>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/market/records.hpp"

namespace fendro::trend {

struct HighLow {
  double high, low;
};

// Stores the candle's high and low as the previous ones and returns those it
// replaces (none on the first accepted candle).
inline std::optional<HighLow> exchange_previous(std::optional<HighLow>& prev, const Candle& c) {
  return std::exchange(prev, HighLow{c.high, c.low});
}

}  // namespace fendro::trend
