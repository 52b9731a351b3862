// Small helpers for the level tests: candles from a high and a low, candles
// at a time, and named-output lookups.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fendro/indicators/indicator.hpp"
#include "fendro/registry/registry.hpp"
#include "indicators/series.hpp"

namespace fendro::testing {

// A valid candle spanning [low, high], open and close at the midpoint.
inline Candle hl(double high, double low) {
  const double mid = (high + low) / 2;
  return Candle{0, mid, high, low, mid, 1.0};
}

inline Candle ohlc(double open, double high, double low, double close) {
  return Candle{0, open, high, low, close, 1.0};
}

inline Candle at(std::int64_t time_ms, double open, double high, double low, double close) {
  return Candle{time_ms, open, high, low, close, 1.0};
}

inline constexpr std::int64_t kMinute = 60'000;
inline constexpr std::int64_t kHour = 60 * kMinute;
inline constexpr std::int64_t kDay = 24 * kHour;

// The named output `name` of the last valued step; NaN when absent.
inline double output(const Indicator& ind, std::string_view name) {
  for (const NamedOutput& o : ind.outputs()) {
    if (o.name == name) return o.value;
  }
  return std::nan("");
}

inline std::vector<double> output_values(const Indicator& ind) {
  std::vector<double> out;
  for (const NamedOutput& o : ind.outputs()) out.push_back(o.value);
  return out;
}

// Steps every candle and returns the last step's value.
inline std::optional<double> feed(Indicator& ind, const std::vector<Candle>& cs) {
  std::optional<double> last;
  for (const Candle& c : cs) last = step(ind, c);
  return last;
}

// A key built with `params`, fed `bars`: the outputs of the last bar (the
// value being the first), or no value when `outputs` is empty.
struct LevelCase {
  const char* key;
  std::vector<double> params;
  std::vector<Candle> bars;
  std::vector<double> outputs;
};

inline void expect_level_cases(std::span<const LevelCase> cases) {
  for (const LevelCase& c : cases) {
    SCOPED_TRACE(c.key + std::string(" after ") + std::to_string(c.bars.size()) + " bars");
    auto built = build_indicator(c.key, c.params);
    ASSERT_TRUE(built.ok());
    Indicator& ind = *built.value();
    const auto v = feed(ind, c.bars);
    if (c.outputs.empty()) {
      EXPECT_FALSE(v.has_value());
      continue;
    }
    ASSERT_TRUE(v.has_value());
    EXPECT_EQ(*v, ind.outputs()[0].value);
    const auto got = output_values(ind);
    ASSERT_EQ(got.size(), c.outputs.size());
    for (std::size_t j = 0; j < got.size(); ++j) {
      EXPECT_NEAR(got[j], c.outputs[j], 1e-12) << ind.outputs()[j].name;
    }
  }
}

}  // namespace fendro::testing
