// The response phase of "prove" alone, over the proven run of a generated
// command (an SMA 10/30 crossover with fees): the report written once and
// sealed into a fresh string, and the report's hash alone as verify writes
// it. Counters are nanoseconds per candle. At 1,000,000 candles each
// iteration fills about 47 MB of fresh memory, so run several processes to
// see how steady the cost of that memory is.

#include <benchmark/benchmark.h>

#include <map>
#include <string>

#include "benchmark_main.hpp"
#include "command_gen.hpp"
#include "fendro/json/parse.hpp"
#include "fendro/market/read_market_data.hpp"
#include "fendro/proof/proof.hpp"
#include "fendro/proof/report_text.hpp"
#include "fendro/proof/response_writer.hpp"

namespace {

using fendro::bench::kSmaCrossStrategy;

// The proven run of `candles` candles, made once per size.
const fendro::ProvenRun& proven(std::size_t candles) {
  static std::map<std::size_t, fendro::ProvenRun> runs;
  auto found = runs.find(candles);
  if (found != runs.end()) return found->second;
  const std::string text = fendro::bench::make_prove_command(candles, kSmaCrossStrategy);
  auto doc = fendro::json::parse(text);
  auto spec = fendro::read_proof_spec(*doc->root.find("spec"));
  auto data = fendro::read_market_data(*doc->root.find("data"));
  auto run = fendro::prove(*spec, *data);
  return runs.emplace(candles, std::move(*run)).first->second;
}

void per_candle(benchmark::State& state, std::size_t candles) {
  state.counters["ns_per_candle"] = benchmark::Counter(
      static_cast<double>(candles), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The proof's text into a fresh string, the report sealed on the way.
void BM_Response(benchmark::State& state) {
  const auto candles = static_cast<std::size_t>(state.range(0));
  const fendro::ProvenRun& run = proven(candles);
  for (auto _ : state) {
    std::string out;
    fendro::StringSink sink(out);
    fendro::ResponseWriter writer(&sink);
    fendro::write_proof(writer, run);
    writer.finish();
    benchmark::DoNotOptimize(out);
  }
  per_candle(state, candles);
}
BENCHMARK(BM_Response)->Arg(10'000)->Unit(benchmark::kMillisecond)->Iterations(300);
BENCHMARK(BM_Response)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(5);

// The report's text into its hash only.
void BM_ReportHash(benchmark::State& state) {
  const auto candles = static_cast<std::size_t>(state.range(0));
  const fendro::ProvenRun& run = proven(candles);
  for (auto _ : state) benchmark::DoNotOptimize(fendro::report_hash(run.report));
  per_candle(state, candles);
}
BENCHMARK(BM_ReportHash)->Arg(10'000)->Unit(benchmark::kMillisecond)->Iterations(300);
BENCHMARK(BM_ReportHash)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) { return fendro::bench::run_benchmarks(argc, argv); }
