// Cost of one `AutocorrelationPeriodogram(10, 1000)` bar with its phasor table
// and with the phasors computed on every bar (a table budget too small for
// it), after a full window of warm-up outside the timing.
#include <benchmark/benchmark.h>

#include <vector>

#include "fendro/indicators/cycle/autocorrelation_periodogram.hpp"
#include "market_bars.hpp"

namespace {

using fendro::BarSnapshot;
using fendro::cycle::AutocorrelationPeriodogram;

void BM_periodogram(benchmark::State& state) {
  const auto max_period = static_cast<std::uint64_t>(state.range(0));
  const auto table_cells = static_cast<std::uint64_t>(state.range(1));
  static const std::vector<fendro::bench::Bar> bars = fendro::bench::make_bars(1 << 13, 7);
  auto ind = AutocorrelationPeriodogram::create(10, max_period, table_cells).value();
  std::size_t i = 0;
  for (; i < max_period + 4; ++i) ind.update(bars[i].snapshot());
  for (auto _ : state) {
    benchmark::DoNotOptimize(ind.update(bars[i].snapshot()));
    if (++i == bars.size()) i = max_period + 4;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_periodogram)
    ->Args({1000, AutocorrelationPeriodogram::kMaxTableCells})
    ->Args({1000, 0})
    ->Args({200, AutocorrelationPeriodogram::kMaxTableCells})
    ->Args({200, 0})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
