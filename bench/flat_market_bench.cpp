// Cost of a flat stretch against a moving one, per type key: each key, built
// through the registry with its row's customary parameters, steps through M
// moving bars untimed, then is timed over N more moving bars on one instance
// and over K bars of a halted market on another. A halted bar has all four
// prices at the last close, volume 0, no trade prints, the book and the
// derivatives tick of the last moving bar (no taker volume, no liquidations),
// and the moving series' reference and cross-section.
//
// Averages of a quantity that falls to 0 on such a stretch (true range, moves,
// volume) decay through the subnormal numbers, which x86 processors compute
// on a slow path; this shows which types pay for it.
//
// Prints one line per key, sorted by the extra ns a flat candle costs: ns per
// candle moving, ns per candle flat (best of the repeats each), their ratio,
// the extra, and "*" where the flat stretch costs more than 1.5 times and
// more than 20 ns a candle more; then the count of those.
//
// Times are the CPU time of the measuring thread (CLOCK_THREAD_CPUTIME_ID),
// not the wall clock: on a machine shared with other work, the time other
// processes hold the core does not count, so runs at different loads agree
// far better. Whether a recursive filter settles on a halt turns on the state
// the halt catches it in, so which types pay changes with the walk before
// it: --seed S runs another.
//
// Usage: flat_market_bench [--moving M] [--timed N] [--flat K] [--repeats R] [--seed S] [--key KEY]...
// An unknown option or key is refused with its name before anything is
// measured; --help prints the usage.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fendro/registry/key_table.hpp"
#include "fendro/registry/registry.hpp"
#include "flat_market_rows.hpp"
#include "key_options.hpp"
#include "market_bars.hpp"

namespace {

using namespace fendro;

// The first `moving` bars, then `flat` bars of a market halted at the last
// close; the reference and cross-section go on as the moving bars after them.
std::vector<bench::Bar> halted_after(const std::vector<bench::Bar>& bars, std::size_t moving,
                                     std::size_t flat) {
  std::vector<bench::Bar> out(bars.begin(), bars.begin() + static_cast<std::ptrdiff_t>(moving));
  const bench::Bar last = out.back();
  for (std::size_t i = 0; i < flat; ++i) {
    bench::Bar b = last;
    b.candle = bench::halted_candle(last.candle, i);
    b.trades.clear();
    b.derivatives.taker_buy_volume = b.derivatives.taker_sell_volume = 0.0;
    b.derivatives.long_liquidations = b.derivatives.short_liquidations = 0.0;
    const bench::Bar& other = bars[(moving + i) % bars.size()];
    b.reference = other.reference;
    b.cross = other.cross;
    out.push_back(std::move(b));
  }
  return out;
}

std::vector<BarSnapshot> snapshots_of(const std::vector<bench::Bar>& bars) {
  std::vector<BarSnapshot> out;
  out.reserve(bars.size());
  for (const bench::Bar& b : bars) out.push_back(b.snapshot());
  return out;
}

// Steps `ind` through bars [from, to): CPU ns per bar.
[[gnu::noinline]] double timed(Indicator& ind, const std::vector<BarSnapshot>& bars,
                               std::size_t from, std::size_t to) {
  const double start = bench::thread_cpu_ns();
  for (std::size_t i = from; i < to; ++i) benchmark::DoNotOptimize(ind.update(bars[i]));
  const double stop = bench::thread_cpu_ns();
  return (stop - start) / static_cast<double>(to - from);
}

// A fresh instance through the untimed moving bars, then timed over the rest.
double run_once(std::string_view key, std::span<const double> params,
                const std::vector<BarSnapshot>& bars, std::size_t moving) {
  auto ind = std::move(build_indicator(key, params)).value();
  for (std::size_t i = 0; i < moving; ++i) benchmark::DoNotOptimize(ind->update(bars[i]));
  return timed(*ind, bars, moving, bars.size());
}

constexpr const char* kUsage =
    "usage: flat_market_bench [--moving M] [--timed N] [--flat K] [--repeats R] [--seed S] [--key KEY]...\n"
    "  --moving M   moving candles each instance steps through untimed (10000)\n"
    "  --timed N    moving candles timed after them (50000)\n"
    "  --flat K     halted candles timed after them instead (50000)\n"
    "  --repeats R  instances timed each way; the best counts (3; at most 1000)\n"
    "  --seed S     seed of the moving candles' random walk (42)\n"
    "  --key KEY    measure only this type key (repeatable; default: every key)\n";

constexpr const char* kProgram = "flat_market_bench";

int run(int argc, char** argv) {
  std::size_t moving = 10'000, timed_bars = 50'000, flat = 50'000, repeats = 3, seed = 42;
  std::vector<std::string> only;
  if (const auto exit = bench::options_and_keys_or_exit(
          kProgram, kUsage, argc, argv,
          {bench::count_option("--moving", &moving), bench::count_option("--timed", &timed_bars),
           bench::count_option("--flat", &flat), bench::count_option("--repeats", &repeats, bench::kMostRepeats),
           bench::count_or_zero_option("--seed", &seed), bench::text_option("--key", &only)},
          only)) {
    return *exit;
  }
  if (const auto exit = bench::room_or_exit(kProgram, {{"--moving", moving}, {"--timed", timed_bars}, {"--flat", flat}},
                                            "bars", bench::kLeastBarBytes)) {
    return *exit;
  }
  const std::vector<bench::Bar> bars = bench::make_bars(moving + timed_bars, seed);
  const std::vector<bench::Bar> halted = halted_after(bars, moving, flat);
  const std::vector<BarSnapshot> moving_snaps = snapshots_of(bars);
  const std::vector<BarSnapshot> halted_snaps = snapshots_of(halted);

  std::vector<bench::FlatRow> rows;
  for (const registry::Entry& row : registry::key_rows()) {
    if (!only.empty() && std::find(only.begin(), only.end(), row.key) == only.end()) continue;
    if (!build_indicator(row.key, row.params.values()).ok()) continue;
    bench::FlatRow r{std::string(row.key), std::numeric_limits<double>::infinity(),
                     std::numeric_limits<double>::infinity()};
    for (std::size_t k = 0; k < repeats; ++k) {
      r.moving_ns = std::min(r.moving_ns, run_once(row.key, row.params.values(), moving_snaps, moving));
      r.flat_ns = std::min(r.flat_ns, run_once(row.key, row.params.values(), halted_snaps, moving));
    }
    rows.push_back(std::move(r));
  }
  std::string what = std::to_string(moving) + " moving bars untimed, " + std::to_string(timed_bars) +
                     " timed moving, " + std::to_string(flat) + " flat, best of " + std::to_string(repeats);
  if (seed != 42) what += ", seed " + std::to_string(seed);
  bench::print_flat_rows(rows, what);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  return fendro::bench::refusing_what_cannot_be_allocated(kProgram, [&] { return run(argc, argv); });
}
