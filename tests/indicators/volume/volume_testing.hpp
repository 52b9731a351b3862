// Small helpers of the volume tests: candles with every field given, runs
// of hand-computed bars, and the named outputs of the last bar.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fendro/registry/registry.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing::voltest {

inline Candle ohlcv(double open, double high, double low, double close, double volume,
                    std::int64_t time = 0) {
  return Candle{time, open, high, low, close, volume};
}

// A candle spanning [low, high] with the given volume (open and close at the low).
inline Candle span(double low, double high, double volume) {
  return Candle{0, low, high, low, low, volume};
}

// Flat candles at the closes, with the volumes.
inline std::vector<Candle> closes_volumes(const std::vector<double>& closes,
                                          const std::vector<double>& volumes) {
  std::vector<Candle> out;
  for (std::size_t i = 0; i < closes.size(); ++i) {
    const double c = closes[i];
    out.push_back(ohlcv(c, c, c, c, volumes[i]));
  }
  return out;
}

// One hand-computed run of `key` over whole candles.
struct CandleCase {
  const char* what;
  const char* key;
  std::vector<double> params;
  std::vector<Candle> bars;
  Values want;
};

// Each case to within 4 ulps.
inline void check_candle_cases(const std::vector<CandleCase>& cases) {
  for (const CandleCase& c : cases) expect_values(key_values(c.key, c.params, c.bars), c.want, c.what);
}

// The named outputs of the last bar.
inline std::vector<double> last_outputs(Indicator& ind) {
  std::vector<double> out;
  for (const NamedOutput& o : ind.outputs()) out.push_back(o.value);
  return out;
}

}  // namespace fendro::testing::voltest
