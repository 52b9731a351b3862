// Helpers of the average tests: build by key, step over plain closes.
#pragma once

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "fendro/registry/registry.hpp"
#include "indicators/trend/trend_testing.hpp"

namespace fendro::testing {

inline IndicatorPtr make(std::string_view key, const std::vector<double>& params) {
  auto r = build_indicator(key, params);
  EXPECT_TRUE(r.ok()) << key << ": " << (r.ok() ? std::string() : r.error().display());
  return r.ok() ? std::move(r).value() : nullptr;
}

// Candles with open = high = low = close = x.
inline std::vector<Candle> closes(const std::vector<double>& xs) {
  std::vector<Candle> out;
  for (double x : xs) out.push_back(flat(x));
  return out;
}

inline Values run_key(std::string_view key, const std::vector<double>& params,
                      const std::vector<Candle>& cs) {
  IndicatorPtr ind = make(key, params);
  return ind ? run(*ind, cs) : Values{};
}

inline Values run_closes(std::string_view key, const std::vector<double>& params,
                         const std::vector<double>& xs) {
  return run_key(key, params, closes(xs));
}

// One hand-checked run: the values of `key` built with `params` over `closes`.
struct CloseCase {
  const char* key;
  std::vector<double> params;
  std::vector<double> closes;
  Values want;
};

inline void expect_close_cases(const std::vector<CloseCase>& cases) {
  for (const CloseCase& c : cases) expect_values(run_closes(c.key, c.params, c.closes), c.want, c.key);
}

}  // namespace fendro::testing
