// Cost of one `update` of the simple, weighted and exponential averages over
// a random-walk series, built through the registry; with the floor of any
// `update` and the shared SMA step alone for comparison.
#include "family_bench.hpp"
#include "fendro/indicators/windows/sma_window.hpp"

namespace {

using namespace fendro;

const std::vector<bench::Key> kKeys = {
    {"Sma", {14}},  {"Sma", {200}},    {"Wma", {14}},  {"Wma", {200}}, {"Trima", {14}},
    {"Ema", {14}},  {"Ema", {200}},    {"Dema", {14}}, {"Tema", {14}}, {"T3", {5, 0.7}},
    {"Smma", {14}},
};

const bool kRegistered = bench::register_family(kKeys);

// The floor of any `update`: a virtual call that hands back the close.
class PassThrough final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override { return bar.candle->close; }
  std::uint64_t warmup_period() const override { return 1; }
};

void BM_interface_floor(benchmark::State& state) {
  PassThrough ind;
  bench::run_bars(state, ind);
}
BENCHMARK(BM_interface_floor);

// The shared step alone, as the types that embed a window run it (inlined).
void BM_sma_step(benchmark::State& state) {
  const std::vector<Candle>& bars = bench::bench_series();
  SmaWindow w = sma_window_new(static_cast<std::uint64_t>(state.range(0))).value();
  std::size_t i = 0;
  double acc = 0.0;
  for (auto _ : state) {
    if (const auto v = sma_update(w, bars[i].close)) acc += *v;
    if (++i == bars.size()) i = 0;
  }
  benchmark::DoNotOptimize(acc);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_sma_step)->Arg(14)->Arg(200);

}  // namespace

BENCHMARK_MAIN();
