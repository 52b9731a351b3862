// Table rows for candlestick patterns: a key, the candles fed in order (the
// last one is judged) and the value expected on the last candle.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fendro/registry/registry.hpp"
#include "indicators/series.hpp"

namespace fendro::testing::patterns {

// A candle from open, high, low, close (the order of the pattern rules).
inline Candle ohlc(double o, double h, double l, double c) { return Candle{0, o, h, l, c, 1.0}; }

// Long candles without shadows: body 2, range 2.
inline const Candle kLongBear = ohlc(10, 10, 8, 8);
inline const Candle kLongBull = ohlc(8, 10, 8, 10);

struct Case {
  const char* key;
  std::vector<Candle> candles;
  double want;
  const char* note = "";
};

// Feeds the case's candles to a freshly built indicator; the last one must
// give `want`.
inline void expect_case(const Case& c) {
  auto built = build_indicator(c.key, std::vector<double>{});
  ASSERT_TRUE(built.ok()) << c.key;
  auto ind = std::move(built).value();
  std::optional<double> last;
  for (const Candle& k : c.candles) last = step(*ind, k);
  ASSERT_TRUE(last.has_value()) << c.key << " " << c.note;
  EXPECT_EQ(*last, c.want) << c.key << " " << c.note;
}

inline void expect_cases(const std::vector<Case>& cases) {
  for (const Case& c : cases) expect_case(c);
}

}  // namespace fendro::testing::patterns
