// Helpers for the chart-pattern and sequential-count tests.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "indicators/testing.hpp"

namespace fendro::testing::chart {

// A candle with the given high, low and close (open at the close).
inline Candle bar(double high, double low, double close) { return hlc(high, low, close); }

inline Candle ohlcv(double open, double high, double low, double close, double volume) {
  return Candle{0, open, high, low, close, volume};
}

// Flat candles at each swing price in turn, then one at `confirm`: with
// moves of 5% or more each candle confirms the price before it as a swing
// pivot, so the k-th price is confirmed on candle k (0-based) and the last
// one on the `confirm` candle. The first price must be a swing high.
inline std::vector<Candle> swings(const std::vector<double>& prices, double confirm) {
  std::vector<Candle> out = flat_closes(prices);
  out.push_back(flat(confirm));
  return out;
}

// One hand-worked run of a type built through the registry.
struct Case {
  const char* key;
  std::vector<double> params;
  std::vector<Candle> bars;
  Values want;
  const char* what = "";
};

// Bit-for-bit (signed zeros and NaN included) against the expected values.
inline void expect_cases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    const Values got = key_values(c.key, c.params, c.bars);
    ASSERT_EQ(got.size(), c.want.size()) << c.key << " " << c.what;
    for (std::size_t i = 0; i < got.size(); ++i) {
      ASSERT_EQ(got[i].has_value(), c.want[i].has_value())
          << c.key << " " << c.what << " bar " << i;
      if (got[i] && std::memcmp(&*got[i], &*c.want[i], sizeof(double)) != 0) {
        ADD_FAILURE() << c.key << " " << c.what << " bar " << i << ": got " << *got[i]
                      << ", want " << *c.want[i];
      }
    }
  }
}

// The named outputs after each bar (empty before the first value).
inline std::vector<std::vector<double>> output_rows(const char* key,
                                                    const std::vector<double>& params,
                                                    const std::vector<Candle>& bars) {
  IndicatorPtr ind = make(key, params);
  std::vector<std::vector<double>> rows;
  if (!ind) return rows;
  for (const Candle& c : bars) rows.push_back(trace(*ind, {c}).outputs.front());
  return rows;
}

// Rows equal, NaN matching NaN.
inline void expect_rows(const std::vector<std::vector<double>>& got,
                        const std::vector<std::vector<double>>& want, const std::string& what) {
  ASSERT_EQ(got.size(), want.size()) << what;
  for (std::size_t i = 0; i < got.size(); ++i) {
    ASSERT_EQ(got[i].size(), want[i].size()) << what << " bar " << i;
    for (std::size_t j = 0; j < got[i].size(); ++j) {
      if (std::isnan(want[i][j])) {
        EXPECT_TRUE(std::isnan(got[i][j])) << what << " bar " << i << " output " << j;
      } else {
        EXPECT_DOUBLE_EQ(got[i][j], want[i][j]) << what << " bar " << i << " output " << j;
      }
    }
  }
}

}  // namespace fendro::testing::chart
