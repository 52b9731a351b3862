// Parsing a large "prove" command into the value tree, reading its candles
// in the same pass, and the whole command on compact text against the text
// JSON writers make by default (a space after each comma and colon).
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <map>
#include <optional>
#include <tuple>
#include <string>

#include "benchmark_main.hpp"
#include "command_gen.hpp"
#include "fendro/json/cursor.hpp"
#include "fendro/json/parse.hpp"
#include "fendro/market/read_market_data.hpp"
#include "fendro/module/command.hpp"
#include "fendro/util/number_format.hpp"

namespace {

// Parsed as any other JSON value here; its shape does not matter to the reader.
constexpr std::string_view kStrategy =
    R"({"spec_version":1,"symbol":"BTCUSDT","timeframe":"1m",)"
    R"("indicators":{"fast":{"type":"Sma","params":[10]},"slow":{"type":"Sma","params":[30]}},)"
    R"("entry":[{"cross_above":["fast","slow"]}],"exit":[{"cross_below":["fast","slow"]}]})";

using fendro::bench::Blanks;
using fendro::bench::CandleForm;

// The command text of `candles` candles with `strategy`, laid out as
// `blanks` and `form` say, made once.
const std::string& command(std::size_t candles, Blanks blanks = Blanks::kNone,
                           std::string_view strategy = kStrategy, CandleForm form = CandleForm::kObject) {
  static std::map<std::tuple<std::size_t, Blanks, const char*, CandleForm>, std::string> texts;
  const auto key = std::tuple{candles, blanks, strategy.data(), form};
  auto found = texts.find(key);
  if (found == texts.end()) {
    found = texts.emplace(key, fendro::bench::make_prove_command(candles, strategy, blanks, form)).first;
  }
  return found->second;
}

// Minor page faults of this process so far.
long minor_faults() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_minflt;
}

// The layout of a benchmark's text, its second argument: 0 compact objects,
// 1 spaced objects, 2 compact arrays, 3 spaced arrays.
Blanks blanks_of(const benchmark::State& state) {
  return (state.range(1) & 1) != 0 ? Blanks::kDefault : Blanks::kNone;
}
CandleForm form_of(const benchmark::State& state) {
  return (state.range(1) & 2) != 0 ? CandleForm::kArray : CandleForm::kObject;
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
    ->MinTime(fendro::bench::own_min_time(3.0))
    ->Unit(benchmark::kMillisecond);

// The command as the module reads it: the tree of everything but the candles,
// which are decoded from the text in the same pass.
void BM_ParseProveCommandReadingCandles(benchmark::State& state) {
  const std::string& text =
      command(static_cast<std::size_t>(state.range(0)), blanks_of(state), kStrategy, form_of(state));
  const long faults_before = minor_faults();
  for (auto _ : state) {
    std::optional<fendro::Result<fendro::MarketData, std::string>> data;
    auto doc = fendro::json::parse_deferring(text, "data", [&](fendro::json::Cursor& cur) {
      data = fendro::read_market_data(cur);
    });
    if (!doc.ok() || !data || !data->ok()) state.SkipWithError("parse failed");
    benchmark::DoNotOptimize(doc);
    benchmark::DoNotOptimize(data);
  }
  state.counters["faults"] = benchmark::Counter(static_cast<double>(minor_faults() - faults_before),
                                                benchmark::Counter::kAvgIterations);
  state.counters["ns_per_candle"] = benchmark::Counter(
      static_cast<double>(state.range(0)), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["MB/s"] = benchmark::Counter(static_cast<double>(text.size()) / 1e6,
                                              benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ParseProveCommandReadingCandles)
    ->ArgsProduct({{10'000, 1'000'000}, {0, 1, 2, 3}})
    ->ArgNames({"candles", "layout"})
    ->MinTime(fendro::bench::own_min_time(3.0))
    ->Unit(benchmark::kMillisecond);

// The whole command as the module runs it, on compact text and on the text
// JSON writers make by default, candles as objects or arrays (the layouts
// above), in ns per candle.
constexpr std::string_view kProveStrategy =
    R"({"symbol":"BTCUSDT","timeframe":"1m",)"
    R"("indicators":{"fast":{"type":"Sma","params":[10]},"slow":{"type":"Sma","params":[30]}},)"
    R"("entry":{"cross_above":["fast","slow"]},"exit":{"cross_below":["fast","slow"]},)"
    R"("sizing":{"type":"fixed_fraction","fraction":0.5},)"
    R"("costs":{"taker_bps":5,"slippage":{"type":"fixed_bps","bps":2}},"risk":{"stop_loss_pct":2}})";

void BM_ProveCommandLayout(benchmark::State& state) {
  const auto candles = static_cast<std::size_t>(state.range(0));
  const std::string& text = command(candles, blanks_of(state), kProveStrategy, form_of(state));
  for (auto _ : state) {
    std::string response = fendro::apply_command(text);
    if (response.find("\"ok\":false") != std::string::npos) state.SkipWithError(response.c_str());
    benchmark::DoNotOptimize(response);
  }
  state.counters["ns_per_candle"] = benchmark::Counter(
      static_cast<double>(candles), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ProveCommandLayout)
    ->ArgsProduct({{10'000, 1'000'000}, {0, 1, 2, 3}})
    ->ArgNames({"candles", "layout"})
    ->MinTime(fendro::bench::own_min_time(2.0))
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

int main(int argc, char** argv) { return fendro::bench::run_benchmarks(argc, argv); }
