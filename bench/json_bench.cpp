// Parsing a large "prove" command into the value tree.
#include <benchmark/benchmark.h>

#include <optional>
#include <string>

#include "command_gen.hpp"
#include "fendro/json/cursor.hpp"
#include "fendro/json/parse.hpp"
#include "fendro/market/read_market_data.hpp"
#include "fendro/util/number_format.hpp"

namespace {

// Parsed as any other JSON value here; its shape does not matter to the reader.
constexpr std::string_view kStrategy =
    R"({"spec_version":1,"symbol":"BTCUSDT","timeframe":"1m",)"
    R"("indicators":{"fast":{"type":"Sma","params":[10]},"slow":{"type":"Sma","params":[30]}},)"
    R"("entry":[{"cross_above":["fast","slow"]}],"exit":[{"cross_below":["fast","slow"]}]})";

const std::string& command(std::size_t candles) {
  static std::string small = fendro::bench::make_prove_command(10'000, kStrategy);
  static std::string large;
  if (candles == 10'000) return small;
  if (large.empty()) large = fendro::bench::make_prove_command(1'000'000, kStrategy);
  return large;
}

void BM_ParseProveCommand(benchmark::State& state) {
  const std::string& text = command(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    auto doc = fendro::json::parse(text);
    if (!doc.ok()) state.SkipWithError("parse failed");
    benchmark::DoNotOptimize(doc);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
  // Decimal megabytes per second of command text.
  state.counters["MB/s"] = benchmark::Counter(static_cast<double>(text.size()) / 1e6,
                                              benchmark::Counter::kIsIterationInvariantRate);
}
// Several runs of the large text: the first one in a process also pays for
// getting its memory from the system.
BENCHMARK(BM_ParseProveCommand)
    ->Arg(10'000)
    ->Arg(1'000'000)
    ->MinTime(3.0)
    ->Unit(benchmark::kMillisecond);

// The command as the module reads it: the tree of everything but the candles,
// which are decoded from the text in the same pass.
void BM_ParseProveCommandReadingCandles(benchmark::State& state) {
  const std::string& text = command(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    std::optional<fendro::Result<fendro::MarketData, std::string>> data;
    auto doc = fendro::json::parse_deferring(text, "data", [&](fendro::json::Cursor& cur) {
      data = fendro::read_market_data(cur);
    });
    if (!doc.ok() || !data || !data->ok()) state.SkipWithError("parse failed");
    benchmark::DoNotOptimize(doc);
    benchmark::DoNotOptimize(data);
  }
  state.counters["MB/s"] = benchmark::Counter(static_cast<double>(text.size()) / 1e6,
                                              benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ParseProveCommandReadingCandles)
    ->Arg(10'000)
    ->Arg(1'000'000)
    ->MinTime(3.0)
    ->Unit(benchmark::kMillisecond);

void BM_ShortestPositional(benchmark::State& state) {
  std::string out;
  double x = 101.25;
  for (auto _ : state) {
    out.clear();
    fendro::append_shortest_positional(out, x);
    benchmark::DoNotOptimize(out.data());
    x += 0.01;
  }
}
BENCHMARK(BM_ShortestPositional);

}  // namespace

BENCHMARK_MAIN();
