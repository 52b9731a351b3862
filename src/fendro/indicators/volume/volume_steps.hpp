// Small per-bar steps that several volume types share: the money-flow volume
// of a candle and the Williams accumulation/distribution line.
#pragma once

#include <algorithm>
#include <optional>

#include "fendro/market/records.hpp"

namespace fendro::volume {

// The volume weighted by where the close sits in the bar's range, from -v at
// the low to +v at the high; 0.0 for a bar without range.
inline double money_flow_volume(const Candle& c) {
  const double range = c.high - c.low;
  if (range == 0.0) return 0.0;
  return c.volume * (((c.close - c.low) - (c.high - c.close)) / range);
}

// Williams' accumulation/distribution line: each bar adds the distance of its
// close from the true low (on an up close) or the true high (on a down close).
// Volume plays no part.
struct WilliamsAdLine {
  std::optional<double> prev_close;
  double line = 0.0;

  // No value on the first bar (it only sets the previous close); then the line.
  std::optional<double> step(const Candle& c) {
    if (!prev_close) {
      prev_close = c.close;
      return std::nullopt;
    }
    const double p = *prev_close;
    double ad = 0.0;
    if (c.close > p) {
      ad = c.close - std::min(c.low, p);
    } else if (c.close < p) {
      ad = c.close - std::max(c.high, p);
    }
    line = ad + line;
    prev_close = c.close;
    return line;
  }
};

}  // namespace fendro::volume
