// Cost of one `update` per bar for every key of an indicator family, built
// through the registry and fed one random-walk series (one benchmark per key).
#pragma once

#include <benchmark/benchmark.h>

#include <span>
#include <vector>

#include "../tests/indicators/family_key.hpp"
#include "../tests/indicators/series.hpp"
#include "../tests/indicators/two_series.hpp"
#include "fendro/registry/registry.hpp"

namespace fendro::bench {

using Key = testing::family::Key;

inline const std::vector<Candle>& bench_series() {
  static const std::vector<Candle> s = testing::random_walk(1 << 16, 42);
  return s;
}

// One `update` per iteration through a real virtual call, as the bar loop
// makes it (kept out of line so the compiler cannot see the dynamic type).
[[gnu::noinline]] inline void run_bars(benchmark::State& state, Indicator& ind) {
  const std::vector<Candle>& bars = bench_series();
  BarSnapshot bar;
  std::size_t i = 0;
  for (auto _ : state) {
    bar.candle = &bars[i];
    benchmark::DoNotOptimize(ind.update(bar));
    if (++i == bars.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}

inline void run_update(benchmark::State& state, const Key& k) {
  auto built = build_indicator(k.key, k.params);
  if (!built.ok()) {
    state.SkipWithError(built.error().display().c_str());
    return;
  }
  run_bars(state, *std::move(built).value());
}

// Registers one benchmark per key; call from a static initialiser.
inline bool register_family(const std::vector<Key>& keys) {
  for (const Key& k : keys) benchmark::RegisterBenchmark(k.key, run_update, k);
  return true;
}

// Registers one benchmark per key of a registry table whose types take no
// parameter.
inline bool register_table(std::span<const registry::Entry> table) {
  std::vector<Key> keys;
  for (const registry::Entry& e : table) keys.push_back({e.key.data(), {}});
  return register_family(keys);
}

// One `update` per iteration with a second random walk as the reference value.
inline void run_pair_update(benchmark::State& state, const Key& k) {
  auto built = build_indicator(k.key, k.params);
  if (!built.ok()) {
    state.SkipWithError(built.error().display().c_str());
    return;
  }
  IndicatorPtr ind = std::move(built).value();
  const std::vector<Candle>& bars = bench_series();
  static const std::vector<double> reference = testing::reference_walk(bars.size(), 43);
  BarSnapshot bar;
  std::size_t i = 0;
  for (auto _ : state) {
    bar.candle = &bars[i];
    bar.reference = reference[i];
    benchmark::DoNotOptimize(ind->update(bar));
    if (++i == bars.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}

// Registers one benchmark per key, two-series keys fed a reference value.
inline bool register_pair_family(const std::vector<testing::TwoSeriesKey>& keys) {
  for (const testing::TwoSeriesKey& k : keys) {
    benchmark::RegisterBenchmark(k.key, k.two_series ? run_pair_update : run_update,
                                 Key{k.key, k.params});
  }
  return true;
}

}  // namespace fendro::bench
