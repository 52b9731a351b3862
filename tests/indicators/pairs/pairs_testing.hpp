// Keys of the pair and regime family from its table, and runs of two-series types.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "../testing.hpp"
#include "../two_series.hpp"
#include "fendro/registry/families.hpp"

namespace fendro::testing::pairs {

inline const std::vector<TwoSeriesKey>& pair_keys() {
  static const std::vector<TwoSeriesKey> keys = two_series_keys(registry::pair_regime_entries());
  return keys;
}

}  // namespace fendro::testing::pairs
