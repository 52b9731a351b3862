// "prove" end to end over generated commands of 10,000 and 1,000,000
// candles: parse (the candles decoded and their inputs text hashed in the
// pass), read, run (with the rest of the inputs hash) and the response text
// (the report written once and sealed on the way), with the time split by
// phase and the peak memory relative to the command text. Part of no total:
// ns_report_hash (the report written into its hash alone, as verify does),
// ns_inputs_hash (the inputs hashed afresh from the decoded candles, as for
// data not read from a text) and ns_parse_unsealed (the parse without
// hashing the candles).
//
// Counters are nanoseconds per candle (ns_*) and memory ratios to the text.

#include <benchmark/benchmark.h>

#include <chrono>
#include <sys/resource.h>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <string>

#include "benchmark_main.hpp"
#include "command_gen.hpp"
#include "fendro/json/parse.hpp"
#include "fendro/market/read_market_data.hpp"
#include "fendro/module/command.hpp"
#include "fendro/proof/canonical.hpp"
#include "fendro/proof/inputs.hpp"
#include "fendro/proof/proof.hpp"
#include "fendro/proof/report_text.hpp"
#include "fendro/proof/response_writer.hpp"

namespace {

constexpr std::size_t kCandles = 1'000'000;

using fendro::bench::kSmaCrossStrategy;

// The command text of `candles` candles, made once per size.
const std::string& command(std::size_t candles = kCandles) {
  static std::map<std::size_t, std::string> texts;
  auto found = texts.find(candles);
  if (found == texts.end()) found = texts.emplace(candles, fendro::bench::make_prove_command(candles, kSmaCrossStrategy)).first;
  return found->second;
}

using Clock = std::chrono::steady_clock;

long minflt() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_minflt;
}

double seconds_since(Clock::time_point t0) {
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

// The whole command as the module runs it, at two sizes: the cost per
// candle should not grow with the size.
void BM_ProveCommand(benchmark::State& state) {
  const auto candles = static_cast<std::size_t>(state.range(0));
  const std::string& text = command(candles);
  std::size_t bytes = 0;
  for (auto _ : state) {
    std::string response = fendro::apply_command(text);
    bytes = response.size();
    benchmark::DoNotOptimize(response);
  }
  state.counters["ns_per_candle"] = benchmark::Counter(
      static_cast<double>(candles), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["response_MB"] = static_cast<double>(bytes) / 1e6;
  state.counters["command_MB"] = static_cast<double>(text.size()) / 1e6;
}
BENCHMARK(BM_ProveCommand)->Arg(10'000)->Unit(benchmark::kMillisecond)->Iterations(300);
BENCHMARK(BM_ProveCommand)->Arg(kCandles)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same work step by step, each phase timed on its own.
void BM_ProvePhases(benchmark::State& state) {
  const auto candles = static_cast<std::size_t>(state.range(0));
  const std::string& text = command(candles);
  double parse = 0, parse_unsealed = 0, read = 0, prove = 0, inputs = 0, report_hash = 0, response = 0;
  long f_prove = 0, f_inputs = 0, f_report = 0, f_response = 0;
  for (auto _ : state) {
    auto t = Clock::now();
    {
      std::optional<fendro::Result<fendro::MarketData, std::string>> unsealed;
      auto plain_doc = fendro::json::parse_deferring(text, "data", [&](fendro::json::Cursor& cur) {
        unsealed = fendro::read_market_data(cur);
      });
      benchmark::DoNotOptimize(plain_doc);
      parse_unsealed += seconds_since(t);
    }
    t = Clock::now();
    // The candles are decoded and hashed in the same pass as the parse, as
    // the module does.
    std::optional<fendro::Result<fendro::MarketData, std::string>> read_data;
    fendro::CandleSeal seal;
    auto doc = fendro::json::parse_deferring(text, "data", [&](fendro::json::Cursor& cur) {
      read_data = fendro::read_market_data(cur, &seal);
    });
    parse += seconds_since(t);
    if (!doc.ok() || !read_data) {
      state.SkipWithError("parse failed");
      return;
    }
    t = Clock::now();
    auto spec = fendro::read_proof_spec(*doc->document.root.find("spec"));
    auto data = std::move(*read_data);
    read += seconds_since(t);
    if (!spec.ok() || !data.ok()) {
      state.SkipWithError("read failed");
      return;
    }
    long f = minflt();
    t = Clock::now();
    auto proof = fendro::prove(*spec, *data, {}, &seal);
    prove += seconds_since(t);
    f_prove += minflt() - f;
    if (!proof.ok()) {
      state.SkipWithError(proof.error().display().c_str());
      return;
    }
    // The inputs hash from the decoded candles, for comparison.
    f = minflt();
    t = Clock::now();
    benchmark::DoNotOptimize(fendro::inputs_hash(*spec, *data));
    inputs += seconds_since(t);
    f_inputs += minflt() - f;
    // The report's text written into its hash only: what verify does.
    f = minflt();
    t = Clock::now();
    benchmark::DoNotOptimize(fendro::report_hash(proof->report));
    report_hash += seconds_since(t);
    f_report += minflt() - f;
    // The candles are freed before the response is written, as the module
    // does: the response may take their memory.
    data->clear();
    // The response: the report's text written once, sealed on the way.
    f = minflt();
    t = Clock::now();
    std::string out;
    fendro::StringSink sink(out);
    fendro::ResponseWriter writer(&sink);
    fendro::write_proof(writer, *proof);
    writer.finish();
    benchmark::DoNotOptimize(out);
    response += seconds_since(t);
    f_response += minflt() - f;
  }
  const double per = 1e9 / (static_cast<double>(state.iterations()) * static_cast<double>(candles));
  state.counters["ns_parse"] = parse * per;
  state.counters["ns_parse_unsealed"] = parse_unsealed * per;
  state.counters["ns_read"] = read * per;
  state.counters["ns_inputs_hash"] = inputs * per;
  state.counters["ns_report_hash"] = report_hash * per;
  state.counters["ns_loop_and_metrics"] = prove * per;  // with the end of the inputs hash
  state.counters["ns_response"] = response * per;
  const double iters = static_cast<double>(state.iterations());
  state.counters["faults_loop"] = static_cast<double>(f_prove) / iters;
  state.counters["faults_inputs"] = static_cast<double>(f_inputs) / iters;
  state.counters["faults_report_hash"] = static_cast<double>(f_report) / iters;
  state.counters["faults_response"] = static_cast<double>(f_response) / iters;
  state.counters["ns_total"] = (parse + read + prove + response) * per;
}
BENCHMARK(BM_ProvePhases)->Arg(10'000)->Unit(benchmark::kMillisecond)->Iterations(300);
BENCHMARK(BM_ProvePhases)->Arg(kCandles)->Unit(benchmark::kMillisecond)->Iterations(3);

// Resident-set figures of this process, in bytes.
long status_kb(const char* field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  const std::string key = std::string(field) + ":";
  while (std::getline(in, line)) {
    if (line.rfind(key, 0) == 0) return std::stol(line.substr(key.size()));
  }
  return -1;
}

// Peak memory of one command: the high-water mark is reset first, so the
// peak is that of the command (the text itself included).
void BM_ProvePeakMemory(benchmark::State& state) {
  const std::string& text = command();
  double peak_ratio = 0, extra_ratio = 0;
  for (auto _ : state) {
    const long before = status_kb("VmRSS");
    if (FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
      std::fputs("5", f);  // resets VmHWM to the current RSS
      std::fclose(f);
    }
    std::string response = fendro::apply_command(text);
    benchmark::DoNotOptimize(response);
    const long peak = status_kb("VmHWM");
    const double text_kb = static_cast<double>(text.size()) / 1024.0;
    peak_ratio = static_cast<double>(peak) / text_kb;
    extra_ratio = static_cast<double>(peak - before) / text_kb;
  }
  state.counters["peak_rss_over_text"] = peak_ratio;
  state.counters["peak_growth_over_text"] = extra_ratio;
}
BENCHMARK(BM_ProvePeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) { return fendro::bench::run_benchmarks(argc, argv); }
