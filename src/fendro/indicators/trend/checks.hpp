// The previous candle's high and low, as the stops that measure penetration
// keep them; and the shared bar checks under the trend namespace, where some
// callers still name them so.
#pragma once

#include <optional>
#include <utility>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/market/records.hpp"

namespace fendro::trend {

using fendro::check_multiplier;
using fendro::checked_candle;
using fendro::finite_close;
using fendro::midpoint;
using fendro::positive_finite;

struct HighLow {
  double high, low;
};

// Stores the candle's high and low as the previous ones and returns those it
// replaces (none on the first accepted candle).
inline std::optional<HighLow> exchange_previous(std::optional<HighLow>& prev, const Candle& c) {
  return std::exchange(prev, HighLow{c.high, c.low});
}

}  // namespace fendro::trend
