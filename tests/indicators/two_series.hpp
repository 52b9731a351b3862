// Keys of the families whose types may read a second series (the reference
// value) besides the close, and stepping helpers for those two-series types.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>
#include <optional>
#include <span>
#include <vector>

#include "fendro/indicators/indicator.hpp"
#include "fendro/market/bar_snapshot.hpp"
#include "fendro/registry/registry.hpp"
#include "series.hpp"
#include "testing.hpp"

namespace fendro::testing {

struct TwoSeriesKey {
  const char* key;
  std::vector<double> params;
  bool two_series = false;  // reads the reference value besides the close
};

// The rows of a family table with their customary parameters, each marked
// two-series when a long run of daily candles (months of them, for the
// calendar types) without a reference value gives nothing at all.
inline std::vector<TwoSeriesKey> two_series_keys(std::span<const registry::Entry> table) {
  std::vector<Candle> bars = random_walk(2000, 29);
  for (std::size_t i = 0; i < bars.size(); ++i) bars[i].time = static_cast<std::int64_t>(i) * 86'400'000;
  std::vector<TwoSeriesKey> out;
  for (const registry::Entry& e : table) {
    TwoSeriesKey k{e.key.data(), {e.params.values().begin(), e.params.values().end()}};
    auto built = build_indicator(e.key, e.params.values());
    if (built.ok()) {
      k.two_series = true;
      for (const Candle& c : bars) k.two_series = k.two_series && !step(**built, c).has_value();
    }
    out.push_back(std::move(k));
  }
  return out;
}

// The rows of `table` (marked as `marked`) that read only the close.
inline std::vector<registry::Entry> close_only(std::span<const registry::Entry> table,
                                               const std::vector<TwoSeriesKey>& marked) {
  std::vector<registry::Entry> out;
  for (std::size_t i = 0; i < marked.size(); ++i) {
    if (!marked[i].two_series) out.push_back(table[i]);
  }
  return out;
}

inline std::vector<TwoSeriesKey> two_series_only(const std::vector<TwoSeriesKey>& marked) {
  std::vector<TwoSeriesKey> out;
  for (const TwoSeriesKey& k : marked) {
    if (k.two_series) out.push_back(k);
  }
  return out;
}

// One bar: a candle with or without a reference value.
inline std::optional<double> step_pair(Indicator& ind, const Candle& c,
                                       std::optional<double> reference) {
  BarSnapshot bar;
  bar.candle = &c;
  bar.reference = reference;
  return ind.update(bar);
}

// One bar: a flat candle at `close`, with or without a reference value.
inline std::optional<double> step_pair(Indicator& ind, double close,
                                       std::optional<double> reference) {
  return step_pair(ind, flat(close), reference);
}

// A second random walk to serve as the reference series.
inline std::vector<double> reference_walk(std::size_t n, std::uint64_t seed) {
  std::vector<double> out;
  for (const Candle& c : random_walk(n, seed, 50.0)) out.push_back(c.close);
  return out;
}

// The checks every family with two-series keys runs on them. Without a
// reference value, as on every bar of a backtest, they never give a value.
// With one on every bar: the first value on the warm-up bar and every bar
// after, all finite, no named outputs; a bar without a finite reference or
// with a NaN close changes nothing later, bit for bit; a crossed candle with
// a finite close still feeds its close (only the close and the reference are
// read).
inline void expect_two_series_rules(const std::vector<TwoSeriesKey>& keys, std::size_t bars = 300) {
  const auto a = random_walk(bars, 5);
  const auto b = reference_walk(bars, 6);
  Candle nan_close = a[10];
  nan_close.close = std::numeric_limits<double>::quiet_NaN();
  for (const TwoSeriesKey& k : keys) {
    auto alone = build_indicator(k.key, k.params).value();
    for (const Candle& c : a) ASSERT_FALSE(step(*alone, c)) << k.key;
    auto clean = build_indicator(k.key, k.params).value();
    auto dirty = build_indicator(k.key, k.params).value();
    const std::uint64_t warmup = clean->warmup_period();
    EXPECT_LT(warmup, a.size()) << k.key;
    for (std::size_t i = 0; i < a.size(); ++i) {
      if (i % 29 == 0 || i == 1) {
        EXPECT_FALSE(step_pair(*dirty, a[i], std::nullopt)) << k.key;
        EXPECT_FALSE(step_pair(*dirty, a[i], std::numeric_limits<double>::quiet_NaN())) << k.key;
        EXPECT_FALSE(step_pair(*dirty, a[i], std::numeric_limits<double>::infinity())) << k.key;
        EXPECT_FALSE(step_pair(*dirty, nan_close, b[i])) << k.key;
      }
      const auto want = step_pair(*clean, a[i], b[i]);
      Candle crossed = a[i];
      std::swap(crossed.high, crossed.low);
      const auto got = step_pair(*dirty, crossed, b[i]);
      ASSERT_EQ(want.has_value(), i + 1 >= warmup) << k.key << " bar " << i + 1;
      ASSERT_TRUE(same_value(want, got)) << k.key << " bar " << i + 1;
      ASSERT_TRUE(!want || std::isfinite(*want)) << k.key << " bar " << i + 1;
    }
    EXPECT_TRUE(clean->outputs().empty()) << k.key;
  }
}

}  // namespace fendro::testing
