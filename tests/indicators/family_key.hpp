// One key of an indicator family with ordinary parameters, as the family
// tests and the benchmarks list them.
#pragma once

#include <vector>

namespace fendro::testing::family {

// Close-only types look at nothing but the close, so a candle that fails the
// candle check is not a rejected bar there.
struct Key {
  const char* key;
  std::vector<double> params;
  bool close_only = false;
};

}  // namespace fendro::testing::family
