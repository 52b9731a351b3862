// Small helpers of the volatility tests.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "fendro/registry/registry.hpp"
#include "indicators/trend/trend_testing.hpp"

namespace fendro::testing::voltest {

// Built through the registry; the parameters must be valid.
inline IndicatorPtr make(const char* key, const std::vector<double>& params) {
  auto r = build_indicator(key, params);
  EXPECT_TRUE(r.ok()) << key;
  return std::move(r).value();
}

// Flat candles at the given closes, for the close-only types.
inline std::vector<Candle> closes(const std::vector<double>& xs) {
  std::vector<Candle> out;
  for (double x : xs) out.push_back(flat(x));
  return out;
}

}  // namespace fendro::testing::voltest
