// Keys of the statistics family from its table, and runs of closes and of two-series types.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fendro/registry/registry.hpp"
#include "../two_series.hpp"
#include "fendro/registry/families.hpp"

namespace fendro::testing::statistics {

inline const std::vector<TwoSeriesKey>& stats_keys() {
  static const std::vector<TwoSeriesKey> keys = two_series_keys(registry::statistics_entries());
  return keys;
}

// The last value of a run over equal-length series A and B.
inline std::optional<double> last_pair_value(Indicator& ind, const std::vector<double>& a,
                                             const std::vector<double>& b) {
  std::optional<double> v;
  for (std::size_t i = 0; i < a.size(); ++i) v = step_pair(ind, a[i], b[i]);
  return v;
}

// The last value of a run over closes.
inline std::optional<double> last_value(Indicator& ind, const std::vector<double>& closes) {
  std::optional<double> v;
  for (double x : closes) v = step(ind, flat(x));
  return v;
}

// The last value of a key over closes, against an expected value (exactly
// when `tol` is 0).
struct CloseCase {
  const char* key;
  std::vector<double> params;
  std::vector<double> closes;
  double want;
  double tol = 1e-12;
};

inline void expect_close_values(const std::vector<CloseCase>& cases) {
  for (const CloseCase& c : cases) {
    auto built = build_indicator(c.key, c.params);
    ASSERT_TRUE(built.ok()) << c.key;
    const auto v = last_value(*built.value(), c.closes);
    ASSERT_TRUE(v.has_value()) << c.key;
    const std::string what = std::string(c.key) + " " + ::testing::PrintToString(c.params) +
                             " " + ::testing::PrintToString(c.closes);
    if (c.tol == 0.0) {
      EXPECT_EQ(*v, c.want) << what;
    } else {
      EXPECT_NEAR(*v, c.want, c.tol) << what;
    }
  }
}

}  // namespace fendro::testing::statistics
