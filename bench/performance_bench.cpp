// Cost of one `update` of every performance type, built through the registry
// with customary parameters and fed one-bar returns of a random walk (the
// closes these types read as returns). Benchmark-relative types read a level
// series as the close and a second random walk as the reference value.
#include "../tests/indicators/performance/perf_testing.hpp"
#include "family_bench.hpp"

namespace {

namespace perf = fendro::testing::performance;

constexpr std::size_t kBars = 1 << 16;

void run_update(benchmark::State& state, const fendro::testing::TwoSeriesKey& k) {
  auto built = fendro::build_indicator(k.key, k.params);
  if (!built.ok()) {
    state.SkipWithError(built.error().display().c_str());
    return;
  }
  fendro::IndicatorPtr ind = std::move(built).value();
  static const std::vector<fendro::Candle> returns = perf::return_series(kBars, 42);
  static const std::vector<fendro::Candle>& levels = fendro::bench::bench_series();
  static const std::vector<double> reference = fendro::testing::reference_walk(kBars, 43);
  const std::vector<fendro::Candle>& bars = k.two_series ? levels : returns;
  fendro::BarSnapshot bar;
  std::size_t i = 0;
  for (auto _ : state) {
    bar.candle = &bars[i];
    if (k.two_series) bar.reference = reference[i];
    benchmark::DoNotOptimize(ind->update(bar));
    if (++i == kBars) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}

bool register_all() {
  for (const fendro::testing::TwoSeriesKey& k : perf::perf_keys()) {
    benchmark::RegisterBenchmark(k.key, run_update, k);
  }
  return true;
}

const bool kRegistered = register_all();

}  // namespace

BENCHMARK_MAIN();
