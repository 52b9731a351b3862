// Shared helpers of the RSI, Chande, rate-of-change and candle-momentum tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fendro/registry/registry.hpp"
#include "indicators/series.hpp"
#include "indicators/trend/trend_testing.hpp"

namespace fendro::testing {

// Built through the registry, as a strategy builds it.
inline IndicatorPtr make(const std::string& key, const std::vector<double>& params) {
  auto r = build_indicator(key, params);
  EXPECT_TRUE(r.ok()) << key << ": " << (r.ok() ? "" : r.error().display());
  return r.ok() ? std::move(r).value() : nullptr;
}

// One flat candle per close.
inline std::vector<Candle> flats(const std::vector<double>& closes) {
  std::vector<Candle> out;
  for (double c : closes) out.push_back(flat(c));
  return out;
}

inline Values run_closes(const std::string& key, const std::vector<double>& params,
                         const std::vector<double>& closes) {
  auto ind = make(key, params);
  if (!ind) return {};
  return run(*ind, flats(closes));
}

inline std::vector<double> closes_of(const std::vector<Candle>& cs) {
  std::vector<double> out;
  for (const Candle& c : cs) out.push_back(c.close);
  return out;
}

// Values within `tol` (absolute), presence equal.
inline void expect_near_values(const Values& got, const Values& want, double tol,
                               const std::string& what) {
  ASSERT_EQ(got.size(), want.size()) << what;
  for (std::size_t i = 0; i < got.size(); ++i) {
    ASSERT_EQ(got[i].has_value(), want[i].has_value()) << what << " bar " << i + 1;
    if (want[i]) {
      EXPECT_NEAR(*got[i], *want[i], tol) << what << " bar " << i + 1;
    }
  }
}

// One hand-worked run over flat candles with the given closes.
struct CloseCase {
  const char* key;
  std::vector<double> params;
  std::vector<double> closes;
  Values want;
};

// Each case to within 4 ulps, or to within `tol` when it is given.
inline void check_close_cases(const std::vector<CloseCase>& cases, double tol = 0.0) {
  for (const CloseCase& c : cases) {
    const Values got = run_closes(c.key, c.params, c.closes);
    if (tol > 0.0) {
      expect_near_values(got, c.want, tol, c.key);
    } else {
      expect_values(got, c.want, c.key);
    }
  }
}

}  // namespace fendro::testing
