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
#include "indicators/fingerprint_series.hpp"
#include "indicators/series.hpp"

namespace {

using fendro::testing::Bar;
using fendro::testing::make_bars;
using fendro::testing::make_edge_bars;
using fendro::testing::make_halted_bars;
using fendro::testing::make_settled_bars;
using fendro::testing::params_text;

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
