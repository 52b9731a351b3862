// A series of one-bar returns to feed the performance types.
#pragma once

#include <cstdint>
#include <vector>

#include "../series.hpp"

namespace fendro::testing::performance {

// Flat candles whose closes are the one-bar returns of a random walk
// (0.01 = 1%): what the return types are meant to read.
inline std::vector<Candle> return_series(std::size_t n, std::uint64_t seed) {
  const auto walk = random_walk(n + 1, seed);
  std::vector<double> returns;
  returns.reserve(n);
  for (std::size_t i = 1; i < walk.size(); ++i) {
    returns.push_back(walk[i].close / walk[i - 1].close - 1.0);
  }
  return flat_closes(returns);
}

}  // namespace fendro::testing::performance
