// The fixed cost of one command: "version", and "prove" over 60 candles,
// through the entry the module calls, with an interrupt that is asked but
// never stops (as the module's is) and with none. What a command costs
// besides its own work (its scope, the wait for what a stopped command left
// to free, the guards of what it holds) shows here, not in the per-candle
// figures of prove_bench.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>

#include "benchmark_main.hpp"
#include "command_gen.hpp"
#include "fendro/module/command.hpp"

namespace {

constexpr std::string_view kVersion = R"({"cmd":"version"})";

const std::string& small_prove() {
  static const std::string text = fendro::bench::make_prove_command(60, fendro::bench::kSmaCrossStrategy);
  return text;
}

// An interrupt the command asks, which never says stop.
bool never_stop(void*) { return false; }

void run(benchmark::State& state, std::string_view text, bool asked) {
  const fendro::Interrupt interrupt = asked ? fendro::Interrupt(never_stop, nullptr) : fendro::Interrupt();
  std::string response;
  for (auto _ : state) {
    response.clear();
    fendro::StringSink sink(response);
    if (!fendro::apply_command(text, sink, interrupt)) {
      state.SkipWithError("stopped");
      return;
    }
    benchmark::DoNotOptimize(response.data());
  }
  // An error answer ({"error":...,"ok":false}) would time the wrong work.
  if (response.rfind("{\"error\"", 0) == 0) state.SkipWithError(response.c_str());
}

void BM_Version(benchmark::State& state) { run(state, kVersion, state.range(0) != 0); }
BENCHMARK(BM_Version)->ArgName("asked")->Arg(0)->Arg(1);

void BM_SmallProve(benchmark::State& state) { run(state, small_prove(), state.range(0) != 0); }
BENCHMARK(BM_SmallProve)->ArgName("asked")->Arg(0)->Arg(1);

}  // namespace

int main(int argc, char** argv) { return fendro::bench::run_benchmarks(argc, argv); }
