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
// far better (the wall clock swung up to 5x).
//
// Usage: flat_market_bench [--moving M] [--timed N] [--flat K] [--repeats R] [--key KEY]...
// An unknown option or key is refused with its name before anything is
// measured; --help prints the usage.
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
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

// CPU time this thread has used, in ns.
double thread_cpu_ns() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1e9 + static_cast<double>(ts.tv_nsec);
}

// Steps `ind` through bars [from, to): CPU ns per bar.
[[gnu::noinline]] double timed(Indicator& ind, const std::vector<BarSnapshot>& bars,
                               std::size_t from, std::size_t to) {
  const double start = thread_cpu_ns();
  for (std::size_t i = from; i < to; ++i) benchmark::DoNotOptimize(ind.update(bars[i]));
  const double stop = thread_cpu_ns();
  return (stop - start) / static_cast<double>(to - from);
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

constexpr const char* kUsage =
    "usage: flat_market_bench [--moving M] [--timed N] [--flat K] [--repeats R] [--key KEY]...\n"
    "  --moving M   moving candles each instance steps through untimed (10000)\n"
    "  --timed N    moving candles timed after them (50000)\n"
    "  --flat K     halted candles timed after them instead (50000)\n"
    "  --repeats R  instances timed each way; the best counts (3)\n"
    "  --key KEY    measure only this type key (repeatable; default: every key)\n";

struct Options {
  std::size_t moving = 10'000, timed_bars = 50'000, flat = 50'000, repeats = 3;
  std::vector<std::string> only;
};

// A count of at least 1 written in decimal digits alone.
bool parse_count(const char* text, std::size_t& out) {
  if (*text < '0' || *text > '9') return false;
  char* end = nullptr;
  const unsigned long long v = std::strtoull(text, &end, 10);
  if (*end != '\0' || v == 0 || v == std::numeric_limits<unsigned long long>::max()) return false;
  out = static_cast<std::size_t>(v);
  return true;
}

// The options, or the reason they are refused (empty `why` with no options:
// the usage was asked for).
bool parse_options(int argc, char** argv, Options& o, std::string& why) {
  for (int a = 1; a < argc; ++a) {
    const std::string_view name = argv[a];
    if (name == "--help" || name == "-h") return false;
    std::size_t* count = name == "--moving"    ? &o.moving
                         : name == "--timed"   ? &o.timed_bars
                         : name == "--flat"    ? &o.flat
                         : name == "--repeats" ? &o.repeats
                                               : nullptr;
    if (count == nullptr && name != "--key") {
      why = "unknown option '" + std::string(name) + "'";
      return false;
    }
    if (a + 1 == argc) {
      why = "option '" + std::string(name) + "' needs a value";
      return false;
    }
    const char* value = argv[++a];
    if (count == nullptr) {
      const std::optional<std::size_t> slot = registry::key_slot(value);
      if (!slot) {
        why = "unknown key '" + std::string(value) + "'";
        return false;
      }
      const registry::Entry& row = registry::key_rows()[*slot];
      if (!build_indicator(row.key, row.params.values()).ok()) {
        why = "key '" + std::string(value) + "' cannot be built at its customary parameters";
        return false;
      }
      o.only.emplace_back(value);
    } else if (!parse_count(value, *count)) {
      why = "option '" + std::string(name) + "' takes a count of at least 1, not '" + value + "'";
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  std::string why;
  if (!parse_options(argc, argv, o, why)) {
    if (why.empty()) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    std::fprintf(stderr, "flat_market_bench: %s\n%s", why.c_str(), kUsage);
    return 2;
  }
  const std::size_t moving = o.moving, timed_bars = o.timed_bars, flat = o.flat, repeats = o.repeats;
  const std::vector<std::string>& only = o.only;
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
