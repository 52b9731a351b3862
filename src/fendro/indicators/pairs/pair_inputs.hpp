// The two-series input restricted to positive values, for the types that
// take logarithms or ratios of both series.
#pragma once

#include <optional>

#include "fendro/indicators/common/two_series.hpp"
#include "fendro/market/bar_snapshot.hpp"

namespace fendro::pairs {

// Both values of the two-series input when each is finite and above zero.
inline std::optional<stats::PairInput> positive_pair_input(const BarSnapshot& bar) {
  const auto in = stats::two_series_input(bar);
  if (!in || !(in->a > 0.0) || !(in->b > 0.0)) return std::nullopt;
  return in;
}

}  // namespace fendro::pairs
