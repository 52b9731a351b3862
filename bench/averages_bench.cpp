// Cost of one `update` of the basic averages over a random-walk series.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "fendro/indicators/averages/ema.hpp"
#include "fendro/indicators/averages/sma.hpp"
#include "fendro/indicators/averages/wma.hpp"

namespace {

using namespace fendro;

std::vector<Candle> random_walk(std::size_t n) {
  std::uint64_t s = 12345;
  auto unit = [&s] {
    s += 0x9E3779B97F4A7C15ULL;
    std::uint64_t z = s;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return static_cast<double>((z ^ (z >> 31)) >> 11) * 0x1.0p-53;
  };
  std::vector<Candle> out(n);
  double close = 100.0;
  for (Candle& c : out) {
    const double open = close;
    close = open * (1.0 + (unit() - 0.5) * 0.02);
    c = Candle{0, open, std::max(open, close) * 1.001, std::min(open, close) * 0.999, close, 1000.0};
  }
  return out;
}

const std::vector<Candle>& series() {
  static const std::vector<Candle> s = random_walk(1 << 16);
  return s;
}

// One `update` per iteration through a real virtual call, as the bar loop
// makes it (kept out of line so the compiler cannot see the dynamic type).
[[gnu::noinline]] void run_updates(benchmark::State& state, std::unique_ptr<Indicator> ind) {
  const std::vector<Candle>& bars = series();
  BarSnapshot bar;
  std::size_t i = 0;
  for (auto _ : state) {
    bar.candle = &bars[i];
    benchmark::DoNotOptimize(ind->update(bar));
    if (++i == bars.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}

template <class T>
void BM_update(benchmark::State& state) {
  auto made = T::create(static_cast<std::uint64_t>(state.range(0)));
  run_updates(state, std::make_unique<T>(std::move(made).value()));
}

// The floor of any `update`: a virtual call that hands back the close.
class PassThrough final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override { return bar.candle->close; }
  std::uint64_t warmup_period() const override { return 1; }
};

void BM_interface_floor(benchmark::State& state) { run_updates(state, std::make_unique<PassThrough>()); }
BENCHMARK(BM_interface_floor);

// The shared step alone, as the types that embed a window run it (inlined).
void BM_sma_step(benchmark::State& state) {
  const std::vector<Candle>& bars = series();
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

BENCHMARK_TEMPLATE(BM_update, Sma)->Arg(14)->Arg(200);
BENCHMARK(BM_sma_step)->Arg(14)->Arg(200);
BENCHMARK_TEMPLATE(BM_update, Ema)->Arg(14)->Arg(200);
BENCHMARK_TEMPLATE(BM_update, Wma)->Arg(14)->Arg(200);

}  // namespace

BENCHMARK_MAIN();
