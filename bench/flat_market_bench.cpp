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
// Usage: flat_market_bench [--moving M] [--timed N] [--flat K] [--repeats R] [--key KEY]...
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fendro/registry/key_table.hpp"
#include "fendro/registry/registry.hpp"
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
    const double p = last.candle.close;
    b.candle = Candle{last.candle.time + static_cast<std::int64_t>(i + 1) * 60'000, p, p, p, p, 0.0};
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

// Steps `ind` through bars [from, to): ns per bar.
[[gnu::noinline]] double timed(Indicator& ind, const std::vector<BarSnapshot>& bars,
                               std::size_t from, std::size_t to) {
  const auto start = std::chrono::steady_clock::now();
  for (std::size_t i = from; i < to; ++i) benchmark::DoNotOptimize(ind.update(bars[i]));
  const auto stop = std::chrono::steady_clock::now();
  return std::chrono::duration<double, std::nano>(stop - start).count() / static_cast<double>(to - from);
}

// A fresh instance through the untimed moving bars, then timed over the rest.
double run_once(std::string_view key, std::span<const double> params,
                const std::vector<BarSnapshot>& bars, std::size_t moving) {
  auto ind = std::move(build_indicator(key, params)).value();
  for (std::size_t i = 0; i < moving; ++i) benchmark::DoNotOptimize(ind->update(bars[i]));
  return timed(*ind, bars, moving, bars.size());
}

struct Row {
  std::string key;
  double moving_ns;
  double flat_ns;
  double extra() const { return flat_ns - moving_ns; }
  double ratio() const { return flat_ns / moving_ns; }
  bool over() const { return ratio() > 1.5 && extra() > 20.0; }
};

}  // namespace

int main(int argc, char** argv) {
  std::size_t moving = 10'000, timed_bars = 50'000, flat = 50'000, repeats = 3;
  std::vector<std::string> only;
  for (int a = 1; a + 1 < argc; a += 2) {
    const std::size_t v = std::strtoull(argv[a + 1], nullptr, 10);
    if (std::strcmp(argv[a], "--moving") == 0) moving = std::max<std::size_t>(v, 1);
    else if (std::strcmp(argv[a], "--timed") == 0) timed_bars = std::max<std::size_t>(v, 1);
    else if (std::strcmp(argv[a], "--flat") == 0) flat = std::max<std::size_t>(v, 1);
    else if (std::strcmp(argv[a], "--repeats") == 0) repeats = std::max<std::size_t>(v, 1);
    else if (std::strcmp(argv[a], "--key") == 0) only.emplace_back(argv[a + 1]);
  }
  const std::vector<bench::Bar> bars = bench::make_bars(moving + timed_bars, 42);
  const std::vector<bench::Bar> halted = halted_after(bars, moving, flat);
  const std::vector<BarSnapshot> moving_snaps = snapshots_of(bars);
  const std::vector<BarSnapshot> halted_snaps = snapshots_of(halted);

  std::vector<Row> rows;
  for (const registry::Entry& row : registry::key_rows()) {
    if (!only.empty() && std::find(only.begin(), only.end(), row.key) == only.end()) continue;
    if (!build_indicator(row.key, row.params.values()).ok()) continue;
    Row r{std::string(row.key), std::numeric_limits<double>::infinity(),
          std::numeric_limits<double>::infinity()};
    for (std::size_t k = 0; k < repeats; ++k) {
      r.moving_ns = std::min(r.moving_ns, run_once(row.key, row.params.values(), moving_snaps, moving));
      r.flat_ns = std::min(r.flat_ns, run_once(row.key, row.params.values(), halted_snaps, moving));
    }
    rows.push_back(std::move(r));
  }
  std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.extra() > b.extra(); });
  std::printf("%-28s %10s %10s %7s %9s\n", "key", "moving_ns", "flat_ns", "ratio", "extra_ns");
  std::size_t over = 0, over50 = 0, over100 = 0;
  for (const Row& r : rows) {
    std::printf("%-28s %10.1f %10.1f %7.2f %9.1f%s\n", r.key.c_str(), r.moving_ns, r.flat_ns, r.ratio(),
                r.extra(), r.over() ? " *" : "");
    over += r.over();
    over50 += r.over() && r.extra() > 50.0;
    over100 += r.over() && r.extra() > 100.0;
  }
  std::printf("over 1.5x and 20 ns: %zu of %zu keys (%zu over 50 ns, %zu over 100 ns); "
              "%zu moving bars untimed, %zu timed moving, %zu flat, best of %zu\n",
              over, rows.size(), over50, over100, moving, timed_bars, flat, repeats);
  return 0;
}
