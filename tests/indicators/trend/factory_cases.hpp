// Hand-worked runs of trend types built directly with their own checks.
#pragma once

#include <vector>

#include "indicators/testing.hpp"

namespace fendro::testing {

// One run: the bars fed and the values expected.
struct FactoryCase {
  const char* name;
  TypeFactory build;
  std::vector<Candle> bars;
  Values want;
};

}  // namespace fendro::testing
