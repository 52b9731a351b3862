// Cost of one `update` of every pair, spread, regime and calendar type over a
// random-walk series, built through the registry with customary parameters.
// Two-series types get a second random walk as their reference value.
#include "../tests/indicators/pairs/pairs_testing.hpp"
#include "family_bench.hpp"

namespace {

using fendro::bench::Key;
namespace fam = fendro::testing::pairs;

void run_pair_update(benchmark::State& state, const Key& k) {
  auto built = fendro::build_indicator(k.key, k.params);
  if (!built.ok()) {
    state.SkipWithError(built.error().display().c_str());
    return;
  }
  fendro::IndicatorPtr ind = std::move(built).value();
  const std::vector<fendro::Candle>& bars = fendro::bench::bench_series();
  static const std::vector<double> reference = fam::reference_walk(bars.size(), 43);
  fendro::BarSnapshot bar;
  std::size_t i = 0;
  for (auto _ : state) {
    bar.candle = &bars[i];
    bar.reference = reference[i];
    benchmark::DoNotOptimize(ind->update(bar));
    if (++i == bars.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}

bool register_all() {
  std::vector<Key> candle_fed;
  for (const fam::PairKey& k : fam::pair_keys()) {
    if (k.two_series) {
      benchmark::RegisterBenchmark(k.key, run_pair_update, Key{k.key, k.params});
    } else {
      candle_fed.push_back({k.key, k.params});
    }
  }
  return fendro::bench::register_family(candle_fed);
}

const bool kRegistered = register_all();

}  // namespace

BENCHMARK_MAIN();
