// Stepping indicators over order-flow bars and comparing their values.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "fendro/indicators/indicator.hpp"
#include "fendro/market/bar_snapshot.hpp"
#include "fendro/market/records.hpp"
#include "fendro/registry/registry.hpp"
#include "indicators/orderflow/orderflow_bars.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing::orderflow {

inline Values run(Indicator& ind, const std::vector<Bar>& bars) {
  Values out;
  for (const Bar& b : bars) out.push_back(step(ind, b));
  return out;
}

inline Values key_values(const std::string& key, const std::vector<double>& params,
                         const std::vector<Bar>& bars) {
  IndicatorPtr ind = make(key, params);
  return ind ? run(*ind, bars) : Values{};
}

inline void expect_values(const Values& got, const Values& want, const std::string& what) {
  ASSERT_EQ(got.size(), want.size()) << what;
  for (std::size_t i = 0; i < got.size(); ++i) {
    ASSERT_EQ(got[i].has_value(), want[i].has_value()) << what << " bar " << i + 1;
    if (want[i]) {
      // Anchored sums round differently from a direct formula: allow a few
      // units in the last twelve digits.
      EXPECT_NEAR(*got[i], *want[i], 1e-12 * std::max(1.0, std::fabs(*want[i])))
          << what << " bar " << i + 1;
    }
  }
}

// One hand-computed run of `key` over order-flow bars.
struct BarCase {
  const char* what;
  const char* key;
  std::vector<double> params;
  std::vector<Bar> bars;
  Values want;
};

inline void check_bar_cases(const std::vector<BarCase>& cases) {
  for (const BarCase& c : cases) expect_values(key_values(c.key, c.params, c.bars), c.want, c.what);
}

inline bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof(double)) == 0; }

}  // namespace fendro::testing::orderflow
