// Cost of one `update` per bar of every type key, built through the registry
// with its row's customary parameters (one benchmark per key, in the order of
// the key index), plus a few long windows, the floor of any `update` and the
// shared SMA step alone for comparison.
#include <benchmark/benchmark.h>

#include <optional>
#include <span>
#include <vector>

#include "benchmark_main.hpp"
#include "fendro/indicators/windows/sma_window.hpp"
#include "fendro/registry/key_table.hpp"
#include "fendro/registry/registry.hpp"
#include "market_bars.hpp"

namespace {

using namespace fendro;

const std::vector<BarSnapshot>& snapshots() {
  static const std::vector<bench::Bar> bars = bench::make_bars(1 << 14, 42);
  static const std::vector<BarSnapshot> s = [] {
    std::vector<BarSnapshot> out;
    out.reserve(bars.size());
    for (const bench::Bar& b : bars) out.push_back(b.snapshot());
    return out;
  }();
  return s;
}

// One `update` per iteration through a real virtual call, as the bar loop
// makes it (kept out of line so the compiler cannot see the dynamic type).
[[gnu::noinline]] void run_bars(benchmark::State& state, Indicator& ind) {
  const std::vector<BarSnapshot>& bars = snapshots();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ind.update(bars[i]));
    if (++i == bars.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}

void run_key(benchmark::State& state, std::string_view key, std::span<const double> params) {
  auto built = build_indicator(key, params);
  if (!built.ok()) {
    state.SkipWithError(built.error().display().c_str());
    return;
  }
  run_bars(state, *std::move(built).value());
}

// Windows far longer than the customary ones.
const std::vector<double> kLong = {200};
const std::vector<double> kVeryLong = {1000};

const bool kRegistered = [] {
  for (const registry::Entry& row : registry::key_rows()) {
    benchmark::RegisterBenchmark(std::string(row.key).c_str(), run_key, row.key, row.params.values());
  }
  for (const char* key : {"Sma", "Wma", "Ema"}) {
    benchmark::RegisterBenchmark((std::string(key) + "/200").c_str(), run_key, key, kLong);
  }
  benchmark::RegisterBenchmark("MidPoint/1000", run_key, "MidPoint", kVeryLong);
  return true;
}();

// The floor of any `update`: a virtual call that hands back the close.
class PassThrough final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override { return bar.candle->close; }
  std::uint64_t warmup_period() const override { return 1; }
};

void BM_interface_floor(benchmark::State& state) {
  PassThrough ind;
  run_bars(state, ind);
}
BENCHMARK(BM_interface_floor);

// The shared step alone, as the types that embed a window run it (inlined).
void BM_sma_step(benchmark::State& state) {
  const std::vector<BarSnapshot>& bars = snapshots();
  SmaWindow w = sma_window_new(static_cast<std::uint64_t>(state.range(0))).value();
  std::size_t i = 0;
  double acc = 0.0;
  for (auto _ : state) {
    if (const auto v = sma_update(w, bars[i].candle->close)) acc += *v;
    if (++i == bars.size()) i = 0;
  }
  benchmark::DoNotOptimize(acc);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_sma_step)->Arg(14)->Arg(200);

// A stretch of candles per call through `update_candles`, as the bar loop
// steps the indicators whose named outputs no rule reads: Sma's own loop, and
// Ema through the default one (an `update` per candle). Items are candles.
void BM_update_candles(benchmark::State& state, std::string_view key, double period) {
  static const std::vector<Candle> candles = [] {
    std::vector<Candle> out;
    for (const BarSnapshot& s : snapshots()) out.push_back(*s.candle);
    return out;
  }();
  constexpr std::size_t kStretch = 128;
  const double params[] = {period};
  auto ind = std::move(build_indicator(key, params)).value();
  std::vector<std::optional<double>> out(kStretch);
  std::size_t first = 0;
  for (auto _ : state) {
    ind->update_candles(std::span<const Candle>(candles).subspan(first, kStretch), out.data());
    benchmark::DoNotOptimize(out.data());
    first += kStretch;
    if (first + kStretch > candles.size()) first = 0;
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kStretch));
}
BENCHMARK_CAPTURE(BM_update_candles, Sma_10, "Sma", 10);
BENCHMARK_CAPTURE(BM_update_candles, Sma_200, "Sma", 200);
BENCHMARK_CAPTURE(BM_update_candles, Ema_10, "Ema", 10);

}  // namespace

int main(int argc, char** argv) { return fendro::bench::run_benchmarks(argc, argv); }
