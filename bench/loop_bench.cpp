// The bar loop of "prove" on its own, split into its pieces: building the
// run (strategy read, indicators, engine with its equity storage), walking
// the bars, and the report with its metrics. Same strategy and candles as
// prove_bench (an SMA 10/30 crossover with fees), at 10,000 and 1,000,000
// candles. Counters are nanoseconds per candle.
//
// BM_ProveAsked: the run as the module makes it, with an interrupt that is
// asked and never stops (its bars walked in stretches that ask between and
// within them), for that strategy and for one of 50 candle-fed types at
// their customary parameters.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "benchmark_main.hpp"
#include "command_gen.hpp"
#include "fendro/json/parse.hpp"
#include "fendro/market/read_market_data.hpp"
#include "fendro/proof/proof.hpp"
#include "fendro/registry/key_table.hpp"
#include "fendro/registry/registry.hpp"
#include "fendro/strategy/engine.hpp"
#include "fendro/strategy/spec.hpp"

namespace {

using fendro::bench::kSmaCrossStrategy;

struct Parsed {
  std::shared_ptr<void> document;  // what `spec` refers into
  fendro::ProofSpec spec;
  fendro::MarketData data;
};

// The command of `candles` candles, parsed once per size.
// The first 50 candle-fed keys of the index, each at its customary
// parameters, the close traded against the first.
std::string fifty_types_strategy() {
  std::string s = R"({"symbol":"BTCUSDT","timeframe":"1m","indicators":{)";
  int count = 0;
  for (const fendro::registry::Entry& row : fendro::registry::key_rows()) {
    if (row.feed != fendro::Feed::Kline || count == 50) continue;
    if (count > 0) s += ',';
    s += "\"i" + std::to_string(count++) + R"(":{"type":")" + std::string(row.key) + R"(","params":[)";
    const auto p = row.params.values();
    for (std::size_t k = 0; k < p.size(); ++k) s.append(k > 0 ? "," : "").append(std::to_string(p[k]));
    s += "]}";
  }
  s += R"(},"entry":{"gt":[{"price":"close"},"i0"]},"exit":{"lt":[{"price":"close"},"i0"]},)";
  s += R"("sizing":{"type":"fixed_fraction","fraction":0.5}})";
  return s;
}

// The command of `candles` candles with `strategy` (0: the SMA crossover,
// 1: fifty types), parsed once per pair.
const Parsed& parsed(std::size_t candles, int strategy = 0) {
  static std::map<std::pair<std::size_t, int>, std::optional<Parsed>> made;
  auto& slot = made[{candles, strategy}];
  if (!slot) {
    static std::map<std::pair<std::size_t, int>, std::string> texts;
    const std::string& text = texts[{candles, strategy}] =
        fendro::bench::make_prove_command(candles, strategy == 0 ? kSmaCrossStrategy : fifty_types_strategy());
    std::optional<fendro::Result<fendro::MarketData, std::string>> read;
    auto doc = fendro::json::parse_deferring(text, "data", [&](fendro::json::Cursor& cur) {
      read = fendro::read_market_data(cur);
    });
    auto kept = std::make_shared<std::decay_t<decltype(doc)>>(std::move(doc));
    auto spec = fendro::read_proof_spec(*(*kept)->document.root.find("spec"));
    slot = Parsed{kept, std::move(*spec), std::move(**read)};
  }
  return *slot;
}

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

void BM_LoopPieces(benchmark::State& state) {
  const auto candles = static_cast<std::size_t>(state.range(0));
  const Parsed& in = parsed(candles);
  const std::vector<fendro::Candle>& bars = in.data.at("BTCUSDT");
  double build = 0, run = 0, finish = 0;
  for (auto _ : state) {
    auto t = Clock::now();
    const fendro::StrategySpec strategy = std::move(fendro::read_strategy_spec(in.spec.strategy)).value();
    std::vector<fendro::IndicatorSlot> slots;
    std::uint64_t warmup = 0;
    for (const auto& [id, ind] : strategy.indicators) {
      auto built = std::move(fendro::build_indicator(ind.type, ind.params)).value();
      warmup = std::max(warmup, built->warmup_period());
      slots.emplace_back(id, std::move(built));
    }
    fendro::BacktestEngine engine(strategy, std::move(slots), warmup, fendro::window_capacity_for(strategy),
                                  bars.size(), fendro::INITIAL_CAPITAL);
    engine.make_room(bars.size(), fendro::Interrupt{});
    build += seconds_since(t);
    t = Clock::now();
    if (!engine.run(bars)) {
      state.SkipWithError("run failed");
      return;
    }
    run += seconds_since(t);
    t = Clock::now();
    fendro::Report report = std::move(engine).finish_report();
    benchmark::DoNotOptimize(report);
    finish += seconds_since(t);
  }
  const double per = 1e9 / (static_cast<double>(state.iterations()) * static_cast<double>(candles));
  state.counters["ns_build"] = build * per;
  state.counters["ns_run"] = run * per;
  state.counters["ns_finish"] = finish * per;
  state.counters["ns_total"] = (build + run + finish) * per;
}
BENCHMARK(BM_LoopPieces)->Arg(10'000)->Unit(benchmark::kMillisecond)->Iterations(300);
BENCHMARK(BM_LoopPieces)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(5);

bool never_stop(void* asks) {
  ++*static_cast<long*>(asks);
  return false;
}

void BM_ProveAsked(benchmark::State& state) {
  const auto candles = static_cast<std::size_t>(state.range(0));
  const Parsed& in = parsed(candles, static_cast<int>(state.range(1)));
  long asks = 0;
  for (auto _ : state) {
    auto run = fendro::prove(in.spec, in.data, fendro::Interrupt(never_stop, &asks));
    if (!run) {
      state.SkipWithError("prove failed");
      return;
    }
    benchmark::DoNotOptimize(run);
  }
  state.counters["ns_per_candle"] = benchmark::Counter(
      static_cast<double>(candles), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["asks"] = static_cast<double>(asks) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ProveAsked)->Args({1'000'000, 0})->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ProveAsked)->Args({200'000, 1})->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) { return fendro::bench::run_benchmarks(argc, argv); }
