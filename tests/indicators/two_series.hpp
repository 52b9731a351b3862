// Keys of the families whose types may read a second series (the reference
// value) besides the close, and stepping helpers for those two-series types.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "fendro/indicators/indicator.hpp"
#include "fendro/market/bar_snapshot.hpp"
#include "series.hpp"

namespace fendro::testing {

struct TwoSeriesKey {
  const char* key;
  std::vector<double> params;
  bool two_series = false;  // reads the reference value besides the close
};

// One bar: a candle with or without a reference value.
inline std::optional<double> step_pair(Indicator& ind, const Candle& c,
                                       std::optional<double> reference) {
  BarSnapshot bar;
  bar.candle = &c;
  bar.reference = reference;
  return ind.update(bar);
}

// One bar: a flat candle at `close`, with or without a reference value.
inline std::optional<double> step_pair(Indicator& ind, double close,
                                       std::optional<double> reference) {
  return step_pair(ind, flat(close), reference);
}

// A second random walk to serve as the reference series.
inline std::vector<double> reference_walk(std::size_t n, std::uint64_t seed) {
  std::vector<double> out;
  for (const Candle& c : random_walk(n, seed, 50.0)) out.push_back(c.close);
  return out;
}

}  // namespace fendro::testing
