// Cost of one `AutocorrelationPeriodogram(10, 1000)` bar with its phasor table
// and with the phasors computed on every bar (a table budget too small for
// it), after a full window of warm-up outside the timing; alone, and as a
// command steps it (its table from the command's, its work asking an
// interrupt that never stops).
#include <benchmark/benchmark.h>

#include <optional>
#include <vector>

#include "benchmark_main.hpp"
#include "fendro/util/run_scope.hpp"
#include "fendro/indicators/cycle/autocorrelation_periodogram.hpp"
#include "market_bars.hpp"

namespace {

using fendro::BarSnapshot;
using fendro::cycle::AutocorrelationPeriodogram;

bool never_stop(void*) { return false; }

void BM_periodogram(benchmark::State& state) {
  std::optional<fendro::RunScope> command;
  if (state.range(2) != 0) command.emplace(fendro::Interrupt(never_stop, nullptr));
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
    ->ArgNames({"max_period", "table_cells", "in_command"})
    ->Args({1000, AutocorrelationPeriodogram::kMaxTableCells, 0})
    ->Args({1000, 0, 0})
    ->Args({200, AutocorrelationPeriodogram::kMaxTableCells, 0})
    ->Args({200, 0, 0})
    ->Args({1000, AutocorrelationPeriodogram::kMaxTableCells, 1})
    ->Args({1000, 0, 1})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return fendro::bench::run_benchmarks(argc, argv); }
