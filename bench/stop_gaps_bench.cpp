// How long a command can go without asking its interrupt: each row runs one
// "prove" command as the module does, with an interrupt that notes the wall
// clock and the thread's CPU clock at every ask, and prints the longest gap
// by each (from the start to the first ask, between asks, from the last ask
// to the end): a wall gap far above its CPU gap is the machine's load, not
// the command's. A row whose run would be long is told to stop once it has
// run `limit_s` seconds; the time from then to the command's return is
// printed as well.
//
//   stop_gaps_bench [limit_s [row ...]]   (3 s by default; rows by number, from 1)
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "command_gen.hpp"
#include "fendro/module/command.hpp"
#include "fendro/proof/response_writer.hpp"
#include "number_args.hpp"

namespace {

using Clock = std::chrono::steady_clock;

struct Row {
  const char* what;
  const char* type;
  const char* params;
  int entries;
  std::size_t candles;
  // The symbol (in the strategy and as the candles' key): "BTCUSDT", or
  // this many million bytes of "S".
  std::size_t symbol_mb = 0;
};

constexpr Row kRows[] = {
    {"periodogram above its table", "AutocorrelationPeriodogram", "10,5000", 1, 5010},
    {"periodogram above its table", "AutocorrelationPeriodogram", "10,10000", 1, 10006},
    {"periodogram above its table", "AutocorrelationPeriodogram", "10,20000", 1, 20004},
    {"28 tables built in one bar", "AutocorrelationPeriodogram", "10,2050", 28, 2100},
    {"sample entropy, long window", "SampleEntropy", "20000,2,0.2", 1, 20010},
    {"rwi, long window", "Rwi", "50000", 1, 50010},
    {"100 MB symbol", "Sma", "5", 1, 2000, 100},
};

std::string command_of(const Row& r) {
  const std::string strategy = fendro::bench::repeated_entries_strategy(r.type, r.params, r.entries);
  std::string cmd = fendro::bench::make_prove_command(r.candles, strategy);
  if (r.symbol_mb == 0) return cmd;
  // Both places the symbol is named: the strategy's and the candles' key.
  constexpr std::string_view kNamed = "\"BTCUSDT\"";
  const std::string symbol = '"' + std::string(r.symbol_mb * 1000000, 'S') + '"';
  for (std::size_t at = cmd.find(kNamed); at != std::string::npos; at = cmd.find(kNamed, at + symbol.size())) {
    cmd.replace(at, kNamed.size(), symbol);
  }
  return cmd;
}

// This thread's CPU time.
Clock::duration cpu_now() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec);
}

// Notes every ask; says stop (and keeps saying it) once the run is older
// than the limit.
struct GapWatch {
  Clock::time_point start;
  Clock::time_point last;
  Clock::duration last_cpu{};
  Clock::duration longest{};
  Clock::duration longest_cpu{};
  Clock::duration limit{};
  long asks = 0;

  void begin() {
    start = last = Clock::now();
    last_cpu = cpu_now();
  }
  void note(Clock::time_point now) {
    const Clock::duration cpu = cpu_now();
    longest = std::max(longest, now - last);
    longest_cpu = std::max(longest_cpu, cpu - last_cpu);
    last = now;
    last_cpu = cpu;
  }
  static bool check(void* self) {
    auto& w = *static_cast<GapWatch*>(self);
    const Clock::time_point now = Clock::now();
    w.note(now);
    ++w.asks;
    return now - w.start >= w.limit;
  }
};

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The whole seconds the steady clock can still count from now: a longer
// limit would wrap its duration and report stop times that nothing measured.
double longest_limit_s() {
  const Clock::duration left = Clock::duration::max() - Clock::now().time_since_epoch();
  return static_cast<double>(std::chrono::duration_cast<std::chrono::seconds>(left).count());
}

}  // namespace

int main(int argc, char** argv) {
  constexpr const char* kUsage = "usage: stop_gaps_bench [limit_s [row ...]]   (3 s by default; rows by number, from 1)\n";
  std::vector<double> args;
  if (const auto exit = fendro::bench::numbers_or_exit("stop_gaps_bench", kUsage, argc, argv, std::size(kRows) + 1, args,
                                                             {"limit_s", "row"})) {
    return *exit;
  }
  const double limit_s = args.empty() ? 3.0 : args[0];
  if (const double longest = longest_limit_s(); limit_s >= longest) {
    std::fprintf(stderr, "stop_gaps_bench: limit_s '%s' is longer than the steady clock counts (below %.0f s)\n%s",
                 argv[1], longest, kUsage);
    return 2;
  }
  std::vector<std::size_t> chosen;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] != std::floor(args[i]) || args[i] > static_cast<double>(std::size(kRows))) {
      std::fprintf(stderr, "stop_gaps_bench: row: no row %g (rows 1 to %zu)\n%s", args[i], std::size(kRows), kUsage);
      return 2;
    }
    chosen.push_back(static_cast<std::size_t>(args[i]) - 1);
  }
  if (chosen.empty()) {
    for (std::size_t i = 0; i < std::size(kRows); ++i) chosen.push_back(i);
  }
  std::printf("%-30s %-42s %8s %12s %12s %8s %10s %10s\n", "row", "entries", "candles", "longest gap",
              "(CPU)", "asks", "ran", "stop took");
  for (const std::size_t i : chosen) {
    const Row& r = kRows[i];
    const std::string cmd = command_of(r);
    std::string response;
    fendro::StringSink sink(response);
    GapWatch watch;
    watch.limit = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(limit_s));
    watch.begin();
    const bool done = fendro::apply_command(cmd, sink, fendro::Interrupt(GapWatch::check, &watch)).ok();
    const Clock::time_point end = Clock::now();
    watch.note(end);
    const std::string entries = std::to_string(r.entries) + " x " + r.type + "(" + r.params + ")";
    char took[32] = "-";
    if (!done) std::snprintf(took, sizeof took, "%.1f ms", ms(end - (watch.start + watch.limit)));
    std::printf("%-30s %-42s %8zu %9.1f ms %9.1f ms %8ld %8.2f s %10s\n", r.what, entries.c_str(), r.candles,
                ms(watch.longest), ms(watch.longest_cpu), watch.asks, ms(end - watch.start) / 1000.0, took);
  }
  return 0;
}
