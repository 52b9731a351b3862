// Cost of one `update` per bar, through the `Indicator` interface, for the
// twelve widely shared types at their usual parameters, plus the floor of an
// update that does nothing. Each type is built through the registry and fed
// one random-walk series of 65,536 candles in a cycle.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "benchmark_main.hpp"
#include "fendro/indicators/indicator.hpp"
#include "fendro/market/bar_snapshot.hpp"
#include "fendro/market/records.hpp"
#include "fendro/registry/registry.hpp"

namespace {

using fendro::BarSnapshot;
using fendro::Candle;
using fendro::Indicator;

// splitmix64 (the same numbers everywhere), scaled to [0, 1).
struct Mix {
  std::uint64_t s;
  double unit() {
    std::uint64_t z = (s += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) * 0x1.0p-53;
  }
};

// Valid candles: closes move up to 1% a bar, highs and lows reach beyond.
const std::vector<Candle>& series() {
  static const std::vector<Candle> bars = [] {
    Mix rng{42};
    std::vector<Candle> out;
    out.reserve(1 << 16);
    double prev = 100.0;
    for (std::int64_t i = 0; i < (1 << 16); ++i) {
      const double open = prev;
      const double close = open * (1.0 + (rng.unit() - 0.5) * 0.02);
      const double high = std::max(open, close) * (1.0 + rng.unit() * 0.005);
      const double low = std::min(open, close) * (1.0 - rng.unit() * 0.005);
      const double volume = 1000.0 + rng.unit() * 1000.0;
      out.push_back(Candle{i * 60000, open, high, low, close, volume});
      prev = close;
    }
    return out;
  }();
  return bars;
}

// One update per iteration through a real virtual call, as the bar loop makes
// it (out of line, so the compiler cannot see the dynamic type).
[[gnu::noinline]] void run_bars(benchmark::State& state, Indicator& ind) {
  const std::vector<Candle>& bars = series();
  BarSnapshot bar;
  std::size_t i = 0;
  for (auto _ : state) {
    bar.candle = &bars[i];
    benchmark::DoNotOptimize(ind.update(bar));
    if (++i == bars.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}

void run_key(benchmark::State& state, const char* key, std::vector<double> params) {
  auto built = fendro::build_indicator(key, params);
  if (!built.ok()) {
    state.SkipWithError(built.error().display().c_str());
    return;
  }
  run_bars(state, *std::move(built).value());
}

// The cost of the loop and the virtual call alone.
class Nothing final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override {
    benchmark::DoNotOptimize(bar.candle);
    return std::nullopt;
  }
  std::uint64_t warmup_period() const override { return 0; }
};

void BM_interface_floor(benchmark::State& state) {
  Nothing n;
  run_bars(state, n);
}
BENCHMARK(BM_interface_floor);

struct Case {
  const char* name;
  const char* key;
  std::vector<double> params;
};

const bool registered = [] {
  const Case cases[] = {
      {"Sma/14", "Sma", {14}},
      {"Ema/14", "Ema", {14}},
      {"Rsi/14", "Rsi", {14}},
      {"Atr/14", "Atr", {14}},
      {"BollingerBands/20/2", "BollingerBands", {20, 2}},
      {"MacdIndicator/12/26/9", "MacdIndicator", {12, 26, 9}},
      {"Stochastic/14/3", "Stochastic", {14, 3}},
      {"Adx/14", "Adx", {14}},
      {"Cci/20", "Cci", {20}},
      {"WilliamsR/14", "WilliamsR", {14}},
      {"Obv", "Obv", {}},
      {"Mfi/14", "Mfi", {14}},
  };
  for (const Case& c : cases) {
    benchmark::RegisterBenchmark(c.name, run_key, c.key, c.params);
  }
  return true;
}();

}  // namespace

int main(int argc, char** argv) { return fendro::bench::run_benchmarks(argc, argv); }
