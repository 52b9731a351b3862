// How long a command can go without asking its interrupt: each row runs one
// "prove" command as the module does, with an interrupt that notes the wall
// clock at every ask, and prints the longest gap (from the start to the
// first ask, between asks, from the last ask to the end). A row whose run
// would be long is told to stop once it has run `limit_s` seconds; the time
// from then to the command's return is printed as well.
//
//   stop_gaps_bench [limit_s [row ...]]   (3 s by default; rows by number, from 1)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "command_gen.hpp"
#include "fendro/module/command.hpp"
#include "fendro/proof/response_writer.hpp"

namespace {

using Clock = std::chrono::steady_clock;

struct Row {
  const char* what;
  const char* type;
  const char* params;
  int entries;
  std::size_t candles;
};

constexpr Row kRows[] = {
    {"periodogram above its table", "AutocorrelationPeriodogram", "10,5000", 1, 5010},
    {"periodogram above its table", "AutocorrelationPeriodogram", "10,10000", 1, 10006},
    {"periodogram above its table", "AutocorrelationPeriodogram", "10,20000", 1, 20004},
    {"28 tables built in one bar", "AutocorrelationPeriodogram", "10,2050", 28, 2100},
    {"sample entropy, long window", "SampleEntropy", "20000,2,0.2", 1, 20010},
    {"rwi, long window", "Rwi", "50000", 1, 50010},
};

// Notes every ask; says stop (and keeps saying it) once the run is older
// than the limit.
struct GapWatch {
  Clock::time_point start;
  Clock::time_point last;
  Clock::duration longest{};
  Clock::duration limit{};
  long asks = 0;

  void note(Clock::time_point now) {
    longest = std::max(longest, now - last);
    last = now;
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

}  // namespace

int main(int argc, char** argv) {
  const double limit_s = argc > 1 ? std::atof(argv[1]) : 3.0;
  std::vector<std::size_t> chosen;
  for (int i = 2; i < argc; ++i) chosen.push_back(static_cast<std::size_t>(std::atoi(argv[i])) - 1);
  if (chosen.empty()) {
    for (std::size_t i = 0; i < std::size(kRows); ++i) chosen.push_back(i);
  }
  std::printf("%-30s %-42s %8s %12s %8s %10s %10s\n", "row", "entries", "candles", "longest gap", "asks",
              "ran", "stop took");
  for (const std::size_t i : chosen) {
    if (i >= std::size(kRows)) continue;
    const Row& r = kRows[i];
    const std::string strategy = fendro::bench::repeated_entries_strategy(r.type, r.params, r.entries);
    const std::string cmd = fendro::bench::make_prove_command(r.candles, strategy);
    std::string response;
    fendro::StringSink sink(response);
    GapWatch watch;
    watch.limit = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(limit_s));
    watch.start = watch.last = Clock::now();
    const bool done = fendro::apply_command(cmd, sink, fendro::Interrupt(GapWatch::check, &watch)).ok();
    const Clock::time_point end = Clock::now();
    watch.note(end);
    const std::string entries = std::to_string(r.entries) + " x " + r.type + "(" + r.params + ")";
    char took[32] = "-";
    if (!done) std::snprintf(took, sizeof took, "%.1f ms", ms(end - (watch.start + watch.limit)));
    std::printf("%-30s %-42s %8zu %9.1f ms %8ld %8.2f s %10s\n", r.what, entries.c_str(), r.candles,
                ms(watch.longest), watch.asks, ms(end - watch.start) / 1000.0, took);
  }
  return 0;
}
