// Instructions per `update` on a moving market, per type key, counted by
// callgrind: each key, built through the registry with its row's customary
// parameters, steps through W moving bars uncounted, then through N more that
// callgrind counts; after each key the program asks callgrind to dump its
// counts under the key's name. Only the calls of `counted_updates` are
// counted, so the script that reads the dumps divides the inclusive cost of
// its `update` calls by their number.
//
// Usage (the script runs valgrind and reads the dumps; --key may repeat):
//   python3 bench/update_instructions.py run build [--key Ema ...] > now.txt
//   python3 bench/update_instructions.py compare before.txt now.txt
// or by hand:
//   valgrind --tool=callgrind --collect-atstart=no
//       build/bench/update_instructions [--warm W] [--counted N] [--key KEY]...
//
// Built without valgrind's callgrind.h, or run without valgrind, it steps the
// same bars and prints the CPU ns per `update` of each key instead.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <span>
#include <string>
#include <vector>

#include "fendro/registry/key_table.hpp"
#include "fendro/registry/registry.hpp"
#include "key_options.hpp"
#include "market_bars.hpp"

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define FENDRO_UNDER_CALLGRIND() (RUNNING_ON_VALGRIND != 0)
#else
#define FENDRO_UNDER_CALLGRIND() false
#define CALLGRIND_ZERO_STATS
#define CALLGRIND_TOGGLE_COLLECT
#define CALLGRIND_DUMP_STATS_AT(name) static_cast<void>(name)
#endif

namespace {

using namespace fendro;

// The counted loop: one `update` per bar through a real virtual call, as the
// bar loop makes it. Its name is what the script looks for in the dumps.
[[gnu::noinline]] void counted_updates(Indicator& ind, std::span<const BarSnapshot> bars) {
  for (const BarSnapshot& bar : bars) benchmark::DoNotOptimize(ind.update(bar));
}

double cpu_seconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

constexpr const char* kProgram = "update_instructions";
constexpr const char* kUsage = "usage: update_instructions [--warm W] [--counted N] [--key KEY]...   (1000, 20000)\n";

int run(int argc, char** argv) {
  std::size_t warm = 1'000, counted = 20'000;
  std::vector<std::string> only;
  if (const auto exit = bench::options_and_keys_or_exit(
          kProgram, kUsage, argc, argv,
          {bench::count_or_zero_option("--warm", &warm), bench::count_option("--counted", &counted),
           bench::text_option("--key", &only)},
          only)) {
    return *exit;
  }
  if (const auto exit = bench::room_or_exit(kProgram, {{"--warm", warm}, {"--counted", counted}}, "bars",
                                            bench::kLeastBarBytes)) {
    return *exit;
  }
  const std::vector<bench::Bar> bars = bench::make_bars(warm + counted, 42);
  std::vector<BarSnapshot> snaps;
  snaps.reserve(bars.size());
  for (const bench::Bar& b : bars) snaps.push_back(b.snapshot());
  const std::span<const BarSnapshot> all(snaps);
  const bool callgrind = FENDRO_UNDER_CALLGRIND();

  for (const registry::Entry& row : registry::key_rows()) {
    if (!only.empty() && std::find(only.begin(), only.end(), row.key) == only.end()) continue;
    auto built = build_indicator(row.key, row.params.values());
    if (!built.ok()) continue;
    auto ind = std::move(built).value();
    const std::string key(row.key);
    for (const BarSnapshot& bar : all.first(warm)) benchmark::DoNotOptimize(ind->update(bar));
    const double start = cpu_seconds();
    CALLGRIND_ZERO_STATS;
    CALLGRIND_TOGGLE_COLLECT;
    counted_updates(*ind, all.subspan(warm));
    CALLGRIND_TOGGLE_COLLECT;
    CALLGRIND_DUMP_STATS_AT(key.c_str());
    const double ns = (cpu_seconds() - start) * 1e9 / static_cast<double>(counted);
    if (!callgrind) std::printf("%s\t%.1f ns\n", key.c_str(), ns);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  return fendro::bench::refusing_what_cannot_be_allocated(kProgram, [&] { return run(argc, argv); });
}
