// Helpers for the price-transform and breadth tests: candles at a time,
// hand-built cross-sections, a random cross-section series, and stepping
// an indicator with a cross-section.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "fendro/indicators/indicator.hpp"
#include "fendro/market/bar_snapshot.hpp"
#include "fendro/market/records.hpp"
#include "indicators/series.hpp"

namespace fendro::testing::transforms {

inline constexpr std::int64_t kMinute = 60'000;
inline constexpr std::int64_t kHour = 60 * kMinute;
inline constexpr std::int64_t kDay = 24 * kHour;

inline Candle at(std::int64_t time_ms, double open, double high, double low, double close) {
  return Candle{time_ms, open, high, low, close, 1.0};
}

// One instrument of a cross-section; flags default to clear.
inline CrossSectionEntry entry(double change, double volume, std::uint8_t new_high = 0,
                               std::uint8_t new_low = 0, std::uint8_t above_ma = 0,
                               std::uint8_t bullish = 0) {
  return CrossSectionEntry{change, volume, new_high, new_low, above_ma, bullish};
}

// 3 advancing (volume 0.5 in all), 1 declining (volume 2), one unchanged and
// one with a NaN change (neither); 2 new highs, 2 new lows, 3 above their
// average, 2 bullish.
inline CrossSection mixed() {
  return CrossSection{{entry(1, 0.25, 1, 0, 1, 1), entry(2, 0.125, 0, 0, 1, 0),
                       entry(0.5, 0.125, 1, 0, 0, 1), entry(-1, 2.0, 0, 1, 0, 0),
                       entry(0, 5.0, 0, 0, 1, 0),
                       entry(std::numeric_limits<double>::quiet_NaN(), 7.0, 0, 1, 0, 0)}};
}

// 1 advancing (volume 10), 2 declining (volume 7).
inline CrossSection falling() {
  return CrossSection{{entry(-1, 3, 0, 1), entry(1, 10), entry(-2, 4, 0, 1)}};
}

inline CrossSection all_up() { return CrossSection{{entry(1, 1), entry(2, 1)}}; }
inline CrossSection all_down() { return CrossSection{{entry(-1, 1)}}; }

// The bar's value with `cs` as its cross-section (none when null); the
// candle is a plain valid one, which breadth types do not read.
inline std::optional<double> step_section(Indicator& ind, const CrossSection* cs) {
  static const Candle candle = flat(100.0);
  BarSnapshot bar;
  bar.candle = &candle;
  bar.cross_section = cs;
  return ind.update(bar);
}

// Cross-sections of 1 to 40 instruments with random changes (some exactly
// zero), volumes and flags.
inline std::vector<CrossSection> random_sections(std::size_t n, std::uint64_t seed) {
  SplitMix rng(seed);
  std::vector<CrossSection> out(n);
  for (CrossSection& cs : out) {
    const std::size_t count = 1 + static_cast<std::size_t>(rng.next() % 40);
    for (std::size_t i = 0; i < count; ++i) {
      const double u = rng.unit();
      const double change = u < 0.1 ? 0.0 : (u - 0.55) * 4.0;
      const auto flag = [&rng] { return static_cast<std::uint8_t>(rng.next() % 4 == 0); };
      cs.entries.push_back(entry(change, rng.unit() * 1e4, flag(), flag(), flag(), flag()));
    }
  }
  return out;
}

}  // namespace fendro::testing::transforms
