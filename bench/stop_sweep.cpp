// The longest stretch of work a command does without asking its interrupt,
// for every type key with its whole-number parameters pushed to their largest
// useful values: the number of candles, half of it, and MAX_PERIOD, each
// alone and together. Every such setting is run as a "prove" command, as the
// module runs it, three times:
//
//   build  `entries` entries over 2 candles: the indicators' construction;
//   bars   1 entry over `candles` candles;
//   many   `entries` entries over `candles` candles.
//
// The interrupt notes the thread's CPU clock at every ask; a gap is the CPU
// time from the start to the first ask, between two asks, or from the last
// ask to the end of a run that was not stopped, so a busy machine does not
// lengthen it. A run is told to stop once it has used `limit` seconds of
// CPU; "stop ms" is the CPU time from that ask saying stop to the command's
// return (mostly the freeing of what the run built), its own column.
//
//   stop_sweep [--candles N] [--entries M] [--limit S] [--over MS] [--shard I/K] [--keys A,B,...] [--all]
//
// Prints the settings whose longest gap or stop is over `over` ms (5 by default;
// --all prints every setting), then the worst of all.
//
//   stop_sweep --inputs [PART,PART,...] [--scale X] [--stops K] [--stop-at A]
//
// runs instead the commands of long_inputs.hpp whose names hold one of the
// parts (all of them without): each once unstopped, then K times (7 by
// default) told to stop at its asks number A/(K+1), 2A/(K+1), ... of the A
// the unstopped run made; "stop ms" is the most CPU any took from that ask
// to its return.
#include <execinfo.h>
#include <sys/time.h>
#include <time.h>

#include <csignal>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "bench_options.hpp"
#include "key_options.hpp"
#include "command_gen.hpp"
#include "long_inputs.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/module/command.hpp"
#include "fendro/proof/response_writer.hpp"
#include "fendro/registry/key_table.hpp"
#include "fendro/registry/registry.hpp"

namespace {

using namespace fendro;

// SWEEP_TRACE=backtrace: where the CPU goes, sampled every millisecond of
// the thread's CPU time with the number of asks made so far; printed for
// the long gaps and for the time after a stop.
struct Sampler {
  static constexpr int kMax = 1 << 16;
  static inline void* samples[kMax][12];
  static inline int depths[kMax];
  static inline long at_ask[kMax];
  static inline volatile int count = 0;
  static inline volatile long asks = 0;
  static void on_tick(int) {
    if (count < kMax) {
      depths[count] = backtrace(samples[count], 12);
      at_ask[count] = asks;
      count = count + 1;
    }
  }
  static void start() {
    void* warm[2];
    backtrace(warm, 2);
    count = 0;
    asks = 0;
    std::signal(SIGPROF, on_tick);
    itimerval t{{0, 1000}, {0, 1000}};
    setitimer(ITIMER_PROF, &t, nullptr);
  }
  static void stop() {
    itimerval t{};
    setitimer(ITIMER_PROF, &t, nullptr);
  }
  // The samples taken after `ask` asks (before the next).
  static void print(long ask, const char* what) {
    std::printf("  samples %s:\n", what);
    std::fflush(stdout);
    for (int i = 0; i < count; ++i) {
      if (at_ask[i] != ask) continue;
      std::printf("  sample %d\n", i);
      std::fflush(stdout);
      backtrace_symbols_fd(samples[i] + 2, depths[i] - 2, 1);
    }
  }
};

double cpu_seconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct Options {
  std::size_t candles = 20'000;
  std::size_t entries = 32;
  double limit = 1.0;
  double over_ms = 5.0;
  std::size_t shard = 0;
  std::size_t shards = 1;
  std::set<std::string, std::less<>> keys;
  bool all = false;
  bool inputs = false;
  std::vector<std::string> parts;
  double scale = 1.0;
  std::size_t stops = 7;
  long stop_at = -1;  // --stop-at K: only one run, told to stop at ask K
};

// Notes every ask; says stop (and keeps saying it) once the run has used
// `limit` seconds of CPU.
struct GapWatch {
  double start = 0.0;
  double last = 0.0;
  double longest = 0.0;
  double limit = 0.0;
  double stop_said = -1.0;
  long asks = 0;
  long stop_at = -1;  // the ask that says stop, when not -1

  void note(double now) {
    if (trace && now - last > 1e-3) {
      std::printf("  gap %.2f ms before ask %ld at %.2f ms\n", (now - last) * 1e3, asks + 1, (now - start) * 1e3);
      if (backtraces && now - last > 10e-3) long_gaps.push_back(asks);
    }

    longest = std::max(longest, now - last);
    last = now;
  }
  static inline bool trace = std::getenv("SWEEP_TRACE") != nullptr;
  static inline bool backtraces = trace && std::strcmp(std::getenv("SWEEP_TRACE"), "backtrace") == 0;
  std::vector<long> long_gaps;  // the asks made before each long gap
  static bool check(void* self) {
    auto& w = *static_cast<GapWatch*>(self);
    const double now = cpu_seconds();
    w.note(now);
    ++w.asks;
    Sampler::asks = w.asks;
    if (w.stop_at >= 0 ? w.asks < w.stop_at : now - w.start < w.limit) return false;
    if (w.stop_said < 0.0) {
      w.stop_said = now;
      if (backtraces) std::printf("  stop said at ask %ld\n", w.asks);
    }
    return true;
  }
};

struct Gap {
  double longest_ms = 0.0;
  double ran_s = 0.0;
  double stop_took_ms = -1.0;  // -1: never told to stop
  long asks = 0;
  bool failed = false;         // the command answered an error
};

Gap run_command(const std::string& command, double limit, long stop_at = -1, std::string* answer = nullptr) {
  std::string response;
  StringSink sink(response);
  GapWatch watch;
  watch.limit = limit;
  watch.stop_at = stop_at;
  watch.start = watch.last = cpu_seconds();
  if (GapWatch::backtraces) Sampler::start();
  const bool done = apply_command(command, sink, Interrupt(GapWatch::check, &watch)).ok();
  const double end = cpu_seconds();
  const bool stopped = !done && watch.stop_said >= 0.0;
  if (!stopped) watch.note(end);
  if (GapWatch::backtraces) {
    Sampler::stop();
    for (const long ask : watch.long_gaps) Sampler::print(ask, ("after ask " + std::to_string(ask)).c_str());
    if (stopped) Sampler::print(watch.asks, "after the stop");
  }
  Gap g;
  g.longest_ms = watch.longest * 1e3;
  g.ran_s = end - watch.start;
  g.asks = watch.asks;
  if (stopped) g.stop_took_ms = (end - watch.stop_said) * 1e3;
  g.failed = done && response.find("\"ok\":false") != std::string::npos;
  if (answer != nullptr) *answer = response.substr(0, 72);
  return g;
}

// The settings of one key: each whole-number parameter (its customary value
// whole and at least 1) at the number of candles, half of it and MAX_PERIOD,
// alone; then all of them at once at each of those, and the first at the
// number of candles with the others at half of it.
std::vector<std::vector<double>> settings(const registry::Entry& row, std::size_t candles) {
  const auto base = row.params.values();
  std::vector<std::size_t> whole;
  for (std::size_t i = 0; i < base.size(); ++i) {
    if (base[i] >= 1.0 && base[i] == std::floor(base[i])) whole.push_back(i);
  }
  const double n = static_cast<double>(candles);
  const double sizes[] = {n, std::floor(n / 2), static_cast<double>(MAX_PERIOD)};
  std::vector<std::vector<double>> out;
  const auto add = [&](std::vector<double> p) {
    if (std::find(out.begin(), out.end(), p) == out.end()) out.push_back(std::move(p));
  };
  for (std::size_t i : whole) {
    for (double v : sizes) {
      std::vector<double> p(base.begin(), base.end());
      p[i] = v;
      add(std::move(p));
    }
  }
  if (whole.size() > 1) {
    for (double v : sizes) {
      std::vector<double> p(base.begin(), base.end());
      for (std::size_t i : whole) p[i] = v;
      add(std::move(p));
    }
    std::vector<double> p(base.begin(), base.end());
    for (std::size_t i : whole) p[i] = i == whole.front() ? n : std::floor(n / 2);
    add(std::move(p));
  }
  return out;
}

void print_gap(const Gap& g) {
  char took[32] = "-";
  if (g.stop_took_ms >= 0.0) std::snprintf(took, sizeof took, "%.1f", g.stop_took_ms);
  std::printf(" %9.1f %7ld %7.2f %7s%s", g.longest_ms, g.asks, g.ran_s, took, g.failed ? " err" : "    ");
}

constexpr const char* kProgram = "stop_sweep";
constexpr const char* kUsage =
    "usage: stop_sweep [--candles N] [--entries M] [--limit S] [--over MS] [--shard I/K] [--keys A,B] [--all]\n"
    "       stop_sweep --inputs [PART,...] [--scale X] [--stops K] [--stop-at A]\n";

// "I/K", both whole numbers in digits alone, I below K, into `o`.
bool shard_of(const std::string& text, Options& o) {
  const std::size_t slash = text.find('/');
  if (slash == std::string::npos) return false;
  const std::optional<std::size_t> i = bench::whole_number(text.substr(0, slash).c_str());
  const std::optional<std::size_t> k = bench::whole_number(text.substr(slash + 1).c_str());
  if (!i || !k || *i >= *k) return false;
  o.shard = *i;
  o.shards = *k;
  return true;
}

// The options, or the exit status: 0 after the usage, 2 after naming what
// was refused.
std::optional<int> options_or_exit(int argc, char** argv, Options& o) {
  std::size_t stop_at = 0;
  std::vector<std::string> shard, keys, parts;
  std::string why = bench::parse_options(
      argc, argv,
      {bench::count_option("--candles", &o.candles), bench::count_option("--entries", &o.entries),
       bench::number_option("--scale", &o.scale), bench::count_option("--stop-at", &stop_at),
       bench::count_or_zero_option("--stops", &o.stops, bench::kMostRepeats), bench::number_option("--limit", &o.limit),
       bench::number_or_zero_option("--over", &o.over_ms), bench::text_option("--shard", &shard),
       bench::text_option("--keys", &keys), bench::flag_option("--all", &o.all),
       bench::flag_with_text_option("--inputs", &o.inputs, &parts)});
  if (why.empty() && o.candles < 2) why = "option '--candles' takes a count of at least 2, not 1";
  if (why.empty() && !shard.empty() && !shard_of(shard.back(), o)) {
    why = "option '--shard' takes I/K with I below K, not '" + shard.back() + "'";
  }
  // The candles' text is built once for each setting, and the entries' once
  // for each command.
  if (why.empty()) why = bench::room_refusal({{"--candles", o.candles}}, "candles", 14.0 + sizeof(Candle));
  if (why.empty()) why = bench::room_refusal({{"--entries", o.entries}}, "entries", 30.0);
  if (stop_at > 0) o.stop_at = static_cast<long>(std::min<std::size_t>(stop_at, std::numeric_limits<long>::max()));
  if (why.empty()) why = bench::key_list_refusal(keys, "--keys", o.keys);
  // The largest input is 200 MB at scale 1, built whole before it is run.
  if (why.empty() && o.scale * 200.0 * bench::long_inputs::kMB > bench::machine_bytes()) {
    char text[160];
    std::snprintf(text, sizeof text, "--scale %g: cannot allocate the largest input (%.1f GiB; the machine has %.1f GiB)",
                  o.scale, o.scale * 200.0 * bench::long_inputs::kMB / 0x1p30, bench::machine_bytes() / 0x1p30);
    why = text;
  }
  for (const std::string& list : parts) {
    const std::vector<std::string> named = bench::parts_of(list);
    if (why.empty() && named.empty()) why = "option '--inputs' takes parts of input names, not '" + list + "'";
    for (const std::string& p : named) {
      const std::vector<bench::LongInput> rows = bench::long_input_rows();
      const bool found = std::any_of(rows.begin(), rows.end(),
                                     [&](const bench::LongInput& r) { return r.name.find(p) != std::string::npos; });
      if (why.empty() && (p.empty() || !found)) {
        why = "option '--inputs': no input's name holds '" + p + "'";
      }
      o.parts.push_back(p);
    }
  }
  return bench::exit_for(kProgram, kUsage, why);
}

// The rows of long_inputs.hpp: the longest gap unstopped, then the longest
// stop over `o.stops` stops spread over the asks.
int run_inputs(const Options& o) {
  std::printf("%-58s %9s %7s %7s %9s  %s\n", "input", "gap ms", "asks", "cpu s", "stop ms", "answer");
  for (const bench::LongInput& row : bench::long_input_rows(o.scale)) {
    const bool wanted = o.parts.empty() || std::any_of(o.parts.begin(), o.parts.end(), [&](const std::string& p) {
                          return row.name.find(p) != std::string::npos;
                        });
    if (!wanted) continue;
    const std::string command = row.build();
    if (o.stop_at > 0) {
      std::printf("%-58s stop at ask %ld took %.1f ms\n", row.name.c_str(), o.stop_at,
                  run_command(command, 1e9, o.stop_at).stop_took_ms);
      continue;
    }
    std::string answer;
    const Gap plain = run_command(command, 1e9, -1, &answer);
    double stop = 0.0;
    const auto stops = static_cast<long>(o.stops);
    for (long k = 1; k <= stops && plain.asks > 0; ++k) {
      const long at = std::max(1L, plain.asks * k / (stops + 1));
      const double took = run_command(command, 1e9, at).stop_took_ms;
      if (GapWatch::trace) std::printf("  stop at ask %ld took %.1f ms\n", at, took);
      stop = std::max(stop, took);
    }
    std::printf("%-58s %9.1f %7ld %7.2f %9.1f  %s\n", row.name.c_str(), plain.longest_ms, plain.asks, plain.ran_s, stop,
                answer.c_str());
    std::fflush(stdout);
  }
  return 0;
}

}  // namespace

int run(int argc, char** argv) {
  Options o;
  if (const auto exit = options_or_exit(argc, argv, o)) return *exit;
  if (o.inputs) return run_inputs(o);
  std::printf("%-28s %-40s | %-36s | %-36s | %-36s\n", "", "", "build: M entries, 2 candles",
              "bars: 1 entry, N candles", "many: M entries, N candles");
  std::printf("%-28s %-40s |", "key", "params");
  for (int k = 0; k < 3; ++k) std::printf(" %9s %7s %7s %7s    |", "gap ms", "asks", "cpu s", "stop ms");
  std::printf("\n");
  double worst = 0.0;
  std::string worst_row;
  double worst_stop = 0.0;
  std::string worst_stop_row;
  std::size_t rows = 0;
  std::size_t index = 0;
  for (const registry::Entry& row : registry::key_rows()) {
    if (!o.keys.empty() && o.keys.find(row.key) == o.keys.end()) continue;
    if (index++ % o.shards != o.shard) continue;
    for (const std::vector<double>& p : settings(row, o.candles)) {
      if (!build_indicator(row.key, p).ok()) continue;
      const std::string params = bench::params_text(p);
      const std::string many = bench::repeated_entries_strategy(row.key, params, o.entries);
      const std::string one = bench::repeated_entries_strategy(row.key, params, 1);
      const Gap build = run_command(bench::make_prove_command(2, many, bench::Blanks::kNone, bench::CandleForm::kArray),
                                    o.limit);
      const std::string bars_text = bench::make_prove_command(o.candles, one, bench::Blanks::kNone,
                                                              bench::CandleForm::kArray);
      const Gap bars = run_command(bars_text, o.limit);
      const Gap many_bars = run_command(
          bench::make_prove_command(o.candles, many, bench::Blanks::kNone, bench::CandleForm::kArray), o.limit);
      const double longest = std::max({build.longest_ms, bars.longest_ms, many_bars.longest_ms});
      const double stop = std::max({build.stop_took_ms, bars.stop_took_ms, many_bars.stop_took_ms});
      ++rows;
      if (longest > worst) {
        worst = longest;
        worst_row = std::string(row.key) + " (" + params + ")";
      }
      if (stop > worst_stop) {
        worst_stop = stop;
        worst_stop_row = std::string(row.key) + " (" + params + ")";
      }
      if (!o.all && longest <= o.over_ms && stop <= o.over_ms) continue;
      std::printf("%-28.*s %-40s |", static_cast<int>(row.key.size()), row.key.data(), params.c_str());
      print_gap(build);
      std::printf(" |");
      print_gap(bars);
      std::printf(" |");
      print_gap(many_bars);
      std::printf(" |\n");
      std::fflush(stdout);
    }
  }
  std::printf("\n%zu settings, N = %zu candles, M = %zu entries; worst gap %.1f ms CPU: %s; longest stop %.1f ms CPU: %s\n",
              rows, o.candles, o.entries, worst, worst_row.c_str(), worst_stop, worst_stop_row.c_str());
  return 0;
}

int main(int argc, char** argv) {
  return bench::refusing_what_cannot_be_allocated(kProgram, [&] { return run(argc, argv); });
}
