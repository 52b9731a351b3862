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

// The last value of `key` built with `params` and fed by `feed`, against an
// expected value (exactly when `tol` is 0); `shown` names the series.
template <class Feed>
void expect_last_value(const char* key, const std::vector<double>& params, Feed feed, double want,
                       double tol, const std::vector<double>& shown) {
  auto built = build_indicator(key, params);
  ASSERT_TRUE(built.ok()) << key;
  const auto v = feed(*built.value());
  const std::string what = std::string(key) + " " + ::testing::PrintToString(params) + " " +
                           ::testing::PrintToString(shown);
  ASSERT_TRUE(v.has_value()) << what;
  if (tol == 0.0) {
    EXPECT_EQ(*v, want) << what;
  } else {
    EXPECT_NEAR(*v, want, tol) << what;
  }
}

// The last value of a key over closes.
struct CloseCase {
  const char* key;
  std::vector<double> params;
  std::vector<double> closes;
  double want;
  double tol = 1e-12;
};

inline void expect_close_values(const std::vector<CloseCase>& cases) {
  for (const CloseCase& c : cases) {
    expect_last_value(
        c.key, c.params, [&](Indicator& ind) { return last_value(ind, c.closes); }, c.want, c.tol,
        c.closes);
  }
}

// The last value of a two-series key over series A and B.
struct PairCase {
  const char* key;
  std::vector<double> params;
  std::vector<double> a;
  std::vector<double> b;
  double want;
  double tol = 1e-12;
};

inline void expect_pair_values(const std::vector<PairCase>& cases) {
  for (const PairCase& c : cases) {
    expect_last_value(
        c.key, c.params, [&](Indicator& ind) { return last_pair_value(ind, c.a, c.b); }, c.want,
        c.tol, c.a);
  }
}

}  // namespace fendro::testing::statistics
