// Keys of the families whose types may read a second series (the reference
// value) besides the close, and stepping helpers for those two-series types.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "fendro/indicators/indicator.hpp"
#include "fendro/market/bar_snapshot.hpp"
#include "fendro/registry/registry.hpp"
#include "series.hpp"

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

}  // namespace fendro::testing
