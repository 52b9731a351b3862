// Prints a digest of every type key's values and named outputs over a long
// generated market series, of a fresh instance's over a series of edge
// cases (zeros of both signs, ties, thresholds met exactly), of a fresh
// instance's over a market that moves and then halts, and of a fresh
// instance's over a market that halts, is nudged one field and one ulp at a
// time and halts again (make_settled_bars): one line per key, then one line
// for all of them.
// Two builds (compilers, CPUs, math paths) that print the same lines compute
// the same numbers; a refactor that keeps the lines keeps every output byte.
//
// Usage: fendro_fingerprint [bars] [--feed kline] [--portable-math] [--expect FILE]
//                           [--halted BARS] [--settled HALT NUDGE] [--subnormals]
// With --portable-math the math module takes the path of a CPU without AVX
// and FMA whatever this CPU has: the lines must not change. With --expect the
// lines are compared with FILE instead of printed: the differing ones are
// shown and the exit status is 1. ctest runs it against
// tests/data/fingerprint.txt, so that any change of any key's output bytes
// (a customary parameter included) is seen and refreshed on purpose:
//   build/tests/fendro_fingerprint > tests/data/fingerprint.txt
// --halted sets the length of the halted stretch; --settled the lengths of
// the settled series' halts and of the quiet after each of its nudges;
// --subnormals prints, in place of the digests, what each key meets on the
// halted and on the settled series (see Probe).
#include <blake3.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <set>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <xmmintrin.h>
#endif

#include "fendro/market/records.hpp"
#include "fendro/registry/key_table.hpp"
#include "fendro/registry/registry.hpp"
#include "fendro/util/math.hpp"
#include "expect_file.hpp"
#include "indicators/all_feeds.hpp"
#include "indicators/series.hpp"

namespace {

using fendro::BarSnapshot;
using fendro::Candle;
using fendro::testing::Bar;
using fendro::testing::make_bars;
using fendro::testing::make_halted_bars;
using fendro::testing::moving_start;
using fendro::testing::quiet_bar;
using fendro::testing::SplitMix;

// Candles the random walk never gives, fed to a fresh instance of every key
// after the walk: the sign of a zero and ties between numbers that compare
// equal, and thresholds met exactly. Each stretch of `n` bars:
//  - zeros: every price +0.0 or -0.0 at random (all compare equal, so every
//    candle is valid), volumes 0, -0.0, 1 or 2; then runs of 60 bars whose
//    prices are all -0.0, all +0.0 (volume +0.0 or -0.0), or whose volume is
//    -0.0: windows in which every term is a zero of one sign;
//  - a grid: integer prices on a walking level, every candle 20 wide, so that
//    bodies and shadows land on 0.05 steps of the range (the thresholds of the
//    candle patterns), highs and lows repeat the previous ones, closes tie;
//  - flat runs: all four prices equal for 30 bars at a time, half of the runs
//    with zero volume;
//  - small integers around zero: prices from -2 to 2, -0.0 included;
//  - eighths: prices on a 1/8 grid scaled by powers of two, exact in binary.
// The other feeds' parts are the walk's, bar for bar.
std::vector<Bar> make_edge_bars(const std::vector<Bar>& walk, std::size_t n) {
  SplitMix rng(20261207);
  std::vector<Bar> bars;
  bars.reserve(5 * n);
  std::int64_t time = 1'800'000'000'000;
  const auto pick = [&](std::size_t k) { return static_cast<std::size_t>(rng.next() % k); };
  const auto zero = [&]() { return (rng.next() & 1) ? -0.0 : 0.0; };
  const auto add = [&](double o, double h, double l, double c, double v) {
    Bar b = walk[bars.size() % walk.size()];
    time += (bars.size() % 500 == 499) ? 3 * 86'400'000 : 3'600'000;
    b.candle = Candle{time, o, h, l, c, v};
    bars.push_back(std::move(b));
  };
  // Every draw is its own statement: the order in which a call's arguments
  // are evaluated is the compiler's, and each compiler must see one series.
  const double zero_volumes[] = {0.0, -0.0, 1.0, 2.0};
  for (std::size_t i = 0; i < n; ++i) {
    switch ((i / 60) % 4) {
      case 0: {
        const double v = zero_volumes[pick(4)];
        const double c = zero();
        const double l = zero();
        const double h = zero();
        const double o = zero();
        add(o, h, l, c, v);
        break;
      }
      case 1: add(-0.0, -0.0, -0.0, -0.0, 1.0 + static_cast<double>(pick(2))); break;
      case 2: add(0.0, 0.0, 0.0, 0.0, zero_volumes[pick(2)]); break;
      default: {
        const double p = 1.0 + static_cast<double>(pick(2));
        add(p, p, p, p, -0.0);
      }
    }
  }

  double level = 100.0;
  for (std::size_t i = 0; i < n; ++i) {
    level += static_cast<double>(pick(5)) - 2.0;
    const double low = level, high = level + 20.0;
    const double a = low + static_cast<double>(pick(21)), b = low + static_cast<double>(pick(21));
    const double v = static_cast<double>(pick(4)) * 5.0;
    add(a, high, low, (rng.next() & 3) == 0 ? a : b, v);
  }

  double flat = 50.0;
  for (std::size_t i = 0; i < n; ++i) {
    if (i % 30 == 0) flat += static_cast<double>(pick(3)) - 1.0;
    add(flat, flat, flat, flat, (i / 30) % 2 ? 0.0 : 10.0);
  }

  for (std::size_t i = 0; i < n; ++i) {
    const double p[] = {-2.0, -1.0, -0.0, 0.0, 1.0, 2.0};
    const double a = p[pick(6)], b = p[pick(6)];
    const double lo = a < b ? a : b, hi = a < b ? b : a;
    const double v = static_cast<double>(pick(3));
    const double l = lo - static_cast<double>(pick(2));
    const double h = hi + static_cast<double>(pick(2));
    add(a, h, l, b, v);
  }

  for (std::size_t i = 0; i < n; ++i) {
    const double scale = std::ldexp(1.0, static_cast<int>(pick(21)) - 10);
    const double a = static_cast<double>(pick(9)) / 8.0, b = static_cast<double>(pick(9)) / 8.0;
    const double lo = (a < b ? a : b) - static_cast<double>(pick(3)) / 8.0;
    const double hi = (a < b ? b : a) + static_cast<double>(pick(3)) / 8.0;
    add(a * scale, hi * scale, lo * scale, b * scale, static_cast<double>(pick(8)) / 8.0);
  }
  return bars;
}

// A market that settles, is nudged and settles again: what the records kept
// off settled averages (a value kept with the bits of the states it was
// computed from, a step's state kept with its input) must get right. Such a
// record gives back only what was computed last, so a record keyed on fewer
// states than its value reads goes stale only when the states it is keyed on
// stay as they were while another one moves: a field the keyed states do not
// read, or a move so small that the keyed averages round it away, which
// happens only where prices are a few units of the least subnormal apart. A
// market that halts never gets there. After the walk's first `moving` bars:
//  - a halt at the last close for `halt` bars, as in make_halted_bars;
//  - one field moving while the rest stay settled: the open and the close
//    flat while the high and the low swing around them, for `nudge` bars;
//    then the prices flat while the volume moves, for `halt` / 2 bars (what
//    the high and the low moved settles meanwhile, for most keys);
//  - moves of one ulp inside the halt (ulp_moves), each followed by `nudge`
//    quiet bars (the first meets settled averages; an average nudged by an
//    ulp of a price near 10 needs about 9,000 bars to settle again);
//  - a halt at a price level of 1.5 times the least normal number (its ulp is
//    the least subnormal) for `halt` bars; there, the same moves of one ulp,
//    each followed by 500 quiet bars (averages nudged by a few subnormal units
//    settle within a few hundred); a walk of moves of up to 16 units, quiet
//    for 300 bars after every 50; stairs of one unit a bar down, up and down
//    again, moves that an average settled at a few units rounds away;
//  - the walk's next `moving` bars, on the series' clock.
// Bars that are not the walk's carry the other feeds' parts as the halted
// series' bars do.
std::vector<Bar> make_settled_bars(const std::vector<Bar>& walk, std::size_t moving,
                                   std::size_t halt, std::size_t nudge) {
  double price = 0.0;
  std::vector<Bar> bars = moving_start(walk, moving, price);
  bars.reserve(2 * moving + 3 * halt + 10 * nudge + 12'000);
  const Bar last = bars.back();
  std::int64_t time = last.candle.time;
  const auto add = [&](double o, double h, double l, double c, double v) {
    time += 3'600'000;
    Bar b = quiet_bar(last, walk[bars.size() % walk.size()], time, price);
    b.candle = Candle{time, o, h, l, c, v};
    bars.push_back(std::move(b));
  };
  const auto quiet = [&](double p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) add(p, p, p, p, 0.0);
  };
  // The close one ulp up (staying there), back down, one ulp down and back
  // up; the high one ulp up for one bar; the low one ulp down; the open one
  // ulp up, then down; the volume at the least subnormal for one bar. Each
  // but the first open's followed by `settle` quiet bars at its close.
  const auto ulp_moves = [&](double p, std::size_t settle) {
    const double above = std::nextafter(p, std::numeric_limits<double>::infinity());
    const double below = std::nextafter(p, -std::numeric_limits<double>::infinity());
    struct Move {
      double open, high, low, close, volume;
      bool settles;
    };
    const Move moves[] = {
        {p, above, p, above, 0.0, true},     {above, above, p, p, 0.0, true},
        {p, p, below, below, 0.0, true},     {below, p, below, p, 0.0, true},
        {p, above, p, p, 0.0, true},         {p, p, below, p, 0.0, true},
        {above, above, p, p, 0.0, false},    {below, p, below, p, 0.0, true},
        {p, p, p, p, std::numeric_limits<double>::denorm_min(), true},
    };
    for (const Move& m : moves) {
      add(m.open, m.high, m.low, m.close, m.volume);
      if (m.settles) quiet(m.close, settle);
    }
  };

  quiet(price, halt);
  // Every draw is its own statement (see make_edge_bars).
  SplitMix rng(20261208);
  for (std::size_t i = 0; i < nudge; ++i) {
    const double up = rng.unit() * 0.005;
    const double down = rng.unit() * 0.005;
    add(price, price * (1.0 + up), price * (1.0 - down), price, 0.0);
  }
  for (std::size_t i = 0; i < halt / 2; ++i) {
    const double v = 100.0 + rng.unit() * 1000.0;
    add(price, price, price, price, v);
  }
  ulp_moves(price, nudge);

  const double unit = std::numeric_limits<double>::denorm_min();
  const double tiny = std::ldexp(1.5, -1022);
  quiet(tiny, halt);
  ulp_moves(tiny, 500);
  double close = tiny;
  for (std::size_t i = 0; i < 1000; ++i) {
    const double open = close;
    const double step = static_cast<double>(rng.next() % 33) - 16.0;
    close = tiny + step * unit;
    const double up = static_cast<double>(rng.next() % 4);
    const double down = static_cast<double>(rng.next() % 4);
    add(open, std::max(open, close) + up * unit, std::min(open, close) - down * unit, close, 0.0);
    if (i % 50 == 49) quiet(close, 300);
  }
  quiet(close, 1000);
  for (const int run : {-40, 80, -40}) {
    const double dir = run < 0 ? -1.0 : 1.0;
    for (int k = 0; k < std::abs(run); ++k) {
      const double open = close;
      close = open + dir * unit;
      add(open, std::max(open, close), std::min(open, close), close, 0.0);
    }
    quiet(close, 300);
  }

  for (std::size_t i = moving; i < std::min(2 * moving, walk.size()); ++i) {
    Bar b = walk[i];
    time += 3'600'000;
    b.candle.time = time;
    bars.push_back(std::move(b));
  }
  return bars;
}

struct Digest {
  blake3_hasher h;
  Digest() { blake3_hasher_init(&h); }
  void bytes(const void* p, std::size_t n) { blake3_hasher_update(&h, p, n); }
  // Every NaN counts as one: its payload never reaches a proof (non-finite
  // numbers are written as null).
  void f64(double x) {
    if (std::isnan(x)) x = std::numeric_limits<double>::quiet_NaN();
    bytes(&x, sizeof x);
  }
  std::string hex(std::size_t n = 16) {
    std::array<std::uint8_t, 32> out{};
    blake3_hasher_finalize(&h, out.data(), out.size());
    std::string s;
    char buf[3];
    for (std::size_t k = 0; k < n / 2; ++k) {
      std::snprintf(buf, sizeof buf, "%02x", out[k]);
      s += buf;
    }
    return s;
  }
};

// The digest of one instance's warm-up, values and named outputs over `bars`.
struct Run {
  std::string hex;
  std::uint64_t values = 0;
};

Run digest_run(fendro::Indicator& ind, const std::vector<Bar>& bars) {
  Digest d;
  Run run;
  const std::uint64_t warm = ind.warmup_period();
  d.bytes(&warm, sizeof warm);
  for (const Bar& b : bars) {
    const std::optional<double> v = ind.update(fendro::testing::snapshot_of(b));
    const std::uint8_t has = v.has_value();
    d.bytes(&has, 1);
    if (!v) continue;
    ++run.values;
    d.f64(*v);
    for (const fendro::NamedOutput& o : ind.outputs()) {
      d.bytes(o.name.data(), o.name.size());
      d.f64(o.value);
    }
  }
  run.hex = d.hex();
  return run;
}

// What one instance meets on a series, for --subnormals: whether its
// arithmetic took a subnormal operand (the processor's sticky flag), how many
// values and named outputs were subnormal, and the last bar that changed any
// of their bits (a digest that sees the fixed point ends well after it).
struct Probe {
  bool subnormal_operand = false;
  std::uint64_t subnormal_outputs = 0;
  std::size_t last_change = 0;
};

#if defined(__x86_64__) || defined(__i386__)
constexpr unsigned kDenormalFlag = 0x2;  // MXCSR.DE
void clear_denormal_flag() { _mm_setcsr(_mm_getcsr() & ~kDenormalFlag); }
bool denormal_flag() { return (_mm_getcsr() & kDenormalFlag) != 0; }
#else
void clear_denormal_flag() {}
bool denormal_flag() { return false; }
#endif

Probe probe_run(fendro::Indicator& ind, const std::vector<Bar>& bars) {
  Probe p;
  std::vector<std::uint64_t> last;
  std::vector<std::uint64_t> now;
  clear_denormal_flag();
  for (std::size_t i = 0; i < bars.size(); ++i) {
    const std::optional<double> v = ind.update(fendro::testing::snapshot_of(bars[i]));
    now.clear();
    now.push_back(v.has_value());
    if (v) {
      now.push_back(std::bit_cast<std::uint64_t>(*v));
      for (const fendro::NamedOutput& o : ind.outputs()) now.push_back(std::bit_cast<std::uint64_t>(o.value));
    }
    for (std::size_t k = 1; k < now.size(); ++k) {
      p.subnormal_outputs += std::fpclassify(std::bit_cast<double>(now[k])) == FP_SUBNORMAL;
    }
    if (now != last) p.last_change = i;
    last.swap(now);
  }
  p.subnormal_operand = denormal_flag();
  return p;
}

std::string params_text(const std::vector<double>& p) {
  std::string s = "[";
  char buf[32];
  for (std::size_t k = 0; k < p.size(); ++k) {
    std::snprintf(buf, sizeof buf, "%s%.17g", k ? "," : "", p[k]);
    s += buf;
  }
  return s + "]";
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t n = 20000;
  std::size_t edge_bars = 1500;  // per stretch of the edge series
  std::size_t moving_bars = 3000;  // the halted series: moving, then halted
  std::size_t halted_bars = 90000;  // long enough for every key to settle
  std::size_t settle_bars = 16000;  // the settled series' halts
  std::size_t nudge_bars = 1000;  // and the quiet after each of its nudges
  bool kline_only = false;
  bool probe = false;
  const char* expect = nullptr;
  for (int a = 1; a < argc; ++a) {
    if (std::strcmp(argv[a], "--feed") == 0 && a + 1 < argc) {
      kline_only = std::strcmp(argv[++a], "kline") == 0;
    } else if (std::strcmp(argv[a], "--portable-math") == 0) {
      fendro::cr::force_portable_path(true);
    } else if (std::strcmp(argv[a], "--subnormals") == 0) {
      probe = true;
    } else if (std::strcmp(argv[a], "--halted") == 0 && a + 1 < argc) {
      halted_bars = std::strtoull(argv[++a], nullptr, 10);
    } else if (std::strcmp(argv[a], "--settled") == 0 && a + 2 < argc) {
      settle_bars = std::strtoull(argv[++a], nullptr, 10);
      nudge_bars = std::strtoull(argv[++a], nullptr, 10);
    } else if (std::strcmp(argv[a], "--expect") == 0 && a + 1 < argc) {
      expect = argv[++a];
    } else {
      n = std::strtoull(argv[a], nullptr, 10);
    }
  }
  const std::vector<Bar> bars = make_bars(n);
  const std::vector<Bar> edges = make_edge_bars(bars, edge_bars);
  const std::vector<Bar> halted = make_halted_bars(bars, std::min(moving_bars, n), halted_bars);
  const std::vector<Bar> settled =
      make_settled_bars(bars, std::min(moving_bars, n), settle_bars, nudge_bars);

  // Every key with its row's customary parameters; the aliases with those
  // of the key they stand for.
  std::vector<std::pair<std::string_view, const fendro::registry::Entry*>> keys;
  const auto rows = fendro::registry::key_rows();
  for (const auto& row : rows) {
    if (!kline_only || row.feed == fendro::Feed::Kline) keys.emplace_back(row.key, &row);
  }
  keys.emplace_back("Macd", &rows[*fendro::registry::key_slot("MacdIndicator")]);
  keys.emplace_back("Bollinger", &rows[*fendro::registry::key_slot("BollingerBands")]);

  std::string out;
  char line[512];
  Digest all;
  for (const auto& [key, row] : keys) {
    const std::vector<double> params(row->params.values().begin(), row->params.values().end());
    auto built = fendro::build_indicator(key, params);
    if (!built) {
      std::snprintf(line, sizeof line, "%.*s none\n", static_cast<int>(key.size()), key.data());
      out += line;
      continue;
    }
    if (probe) {
      const Probe h = probe_run(*std::move(built).value(), halted);
      const Probe s = probe_run(*fendro::build_indicator(key, params).value(), settled);
      std::snprintf(line, sizeof line,
                    "%.*s subnormal_operand=%d subnormal_outputs=%llu last_change=%zu "
                    "settled: subnormal_operand=%d subnormal_outputs=%llu\n",
                    static_cast<int>(key.size()), key.data(), h.subnormal_operand ? 1 : 0,
                    static_cast<unsigned long long>(h.subnormal_outputs), h.last_change,
                    s.subnormal_operand ? 1 : 0,
                    static_cast<unsigned long long>(s.subnormal_outputs));
      out += line;
      continue;
    }
    const Run walk_run = digest_run(*std::move(built).value(), bars);
    const Run edge_run = digest_run(*fendro::build_indicator(key, params).value(), edges);
    const Run halted_run = digest_run(*fendro::build_indicator(key, params).value(), halted);
    const Run settled_run = digest_run(*fendro::build_indicator(key, params).value(), settled);
    std::snprintf(line, sizeof line,
                  "%.*s %s %s values=%llu edges=%s values=%llu halted=%s values=%llu settled=%s "
                  "values=%llu\n",
                  static_cast<int>(key.size()), key.data(), params_text(params).c_str(),
                  walk_run.hex.c_str(), static_cast<unsigned long long>(walk_run.values),
                  edge_run.hex.c_str(), static_cast<unsigned long long>(edge_run.values),
                  halted_run.hex.c_str(), static_cast<unsigned long long>(halted_run.values),
                  settled_run.hex.c_str(), static_cast<unsigned long long>(settled_run.values));
    out += line;
    all.bytes(key.data(), key.size());
    all.bytes(walk_run.hex.data(), walk_run.hex.size());
    all.bytes(edge_run.hex.data(), edge_run.hex.size());
    all.bytes(halted_run.hex.data(), halted_run.hex.size());
    all.bytes(settled_run.hex.data(), settled_run.hex.size());
  }
  if (!probe) out += "all " + all.hex(64) + "\n";
  if (!expect || probe) {
    std::fputs(out.c_str(), stdout);
    return 0;
  }
  return fendro::testing::compare_with_file(out, expect, "fingerprint");
}
