// Writes every bar's value and named outputs (their bits) of every type key to
// a dump (dump_format.hpp), for value_compare to set two builds' dumps side by
// side. Only the registry and indicator interfaces that older trees share are
// used, and the bars come from this checkout's test series, so that a dumper
// built against any tree reads the same bars.
//
// Each key (the two aliases included) runs at its customary parameters and
// with each whole-number parameter at 1, 2 and 5 where the type builds so,
// over the fingerprint's four series (the walk, its edge cases, the halted
// walk, the settled one) and over three walks in cents that leave residue in
// running sums before stretches of zeros (named_series.hpp). Every bar
// carries every feed, as in the fingerprint.
//
// Usage: value_dump OUT [--shard K N] [--key KEY]...
// --shard writes only the keys whose position modulo N is K; --key only the
// keys named.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "dump_format.hpp"
#include "fendro/registry/key_table.hpp"
#include "fendro/registry/registry.hpp"
#include "indicators/all_feeds.hpp"
#include "named_series.hpp"
#include "reference/unbounded_ends.hpp"

namespace {

namespace vd = fendro::value_dump;
using fendro::testing::Bar;

// The customary parameters, then each whole-number one at 1, 2 and 5 where
// the type builds with it.
std::vector<std::vector<double>> parameter_sets(const fendro::registry::Entry& row, std::string_view key) {
  const std::vector<double> base(row.params.values().begin(), row.params.values().end());
  std::vector<std::vector<double>> out{base};
  for (std::size_t i = 0; i < base.size(); ++i) {
    if (fendro::reference::kind_of(row, i) != fendro::reference::Kind::Integer) continue;
    for (const double v : {1.0, 2.0, 5.0}) {
      std::vector<double> p = base;
      p[i] = v;
      bool seen = false;
      for (const auto& q : out) seen = seen || q == p;
      if (!seen && fendro::build_indicator(key, p)) out.push_back(std::move(p));
    }
  }
  return out;
}

void dump_run(vd::Writer& w, std::string_view key, const std::vector<double>& params, std::uint32_t series,
              const std::vector<Bar>& bars) {
  auto built = fendro::build_indicator(key, params);
  if (!built) {
    w.run_head(key, params, series, false, 0);
    w.end_run({});
    return;
  }
  fendro::IndicatorPtr ind = std::move(built).value();
  w.run_head(key, params, series, true, ind->warmup_period());
  vd::Record rec;
  std::vector<std::string_view> names;
  for (const Bar& b : bars) {
    const std::optional<double> v = ind->update(fendro::testing::snapshot_of(b));
    rec.clear();
    if (v) {
      rec.push_back(vd::value_bits(*v));
      const auto outs = ind->outputs();
      if (names.size() < outs.size()) names.assign(outs.size(), {});
      for (std::size_t k = 0; k < outs.size(); ++k) {
        rec.push_back(vd::value_bits(outs[k].value));
        names[k] = outs[k].name;
      }
    }
    w.record(rec);
  }
  w.end_run(names);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: value_dump OUT [--shard K N] [--key KEY]...\n");
    return 2;
  }
  std::size_t shard = 0, shards = 1;
  std::vector<std::string_view> only;
  for (int a = 2; a < argc; ++a) {
    if (std::strcmp(argv[a], "--shard") == 0 && a + 2 < argc) {
      shard = std::strtoull(argv[++a], nullptr, 10);
      shards = std::strtoull(argv[++a], nullptr, 10);
    } else if (std::strcmp(argv[a], "--key") == 0 && a + 1 < argc) {
      only.emplace_back(argv[++a]);
    } else {
      std::fprintf(stderr, "value_dump: unknown argument %s\n", argv[a]);
      return 2;
    }
  }
  if (shards == 0 || shard >= shards) {
    std::fprintf(stderr, "value_dump: --shard K N needs K < N\n");
    return 2;
  }
  std::FILE* f = std::fopen(argv[1], "wb");
  if (!f) {
    std::perror(argv[1]);
    return 1;
  }
  static char buffer[1 << 20];
  std::setvbuf(f, buffer, _IOFBF, sizeof buffer);

  const std::vector<vd::GeneratedSeries> series = vd::dumped_series();
  std::vector<vd::SeriesInfo> table;
  for (const vd::GeneratedSeries& s : series) {
    if (s.info.bars != s.bars.size()) {
      std::fprintf(stderr, "value_dump: series %s has %zu bars, its stretches %llu\n", s.info.name.c_str(), s.bars.size(),
                   static_cast<unsigned long long>(s.info.bars));
      return 1;
    }
    table.push_back(s.info);
  }
  vd::Writer w(f);
  w.start(table);

  // Every key with its row, the aliases with the rows of the keys they name
  // (as the fingerprint lists them).
  const auto rows = fendro::registry::key_rows();
  std::vector<std::pair<std::string_view, const fendro::registry::Entry*>> keys;
  for (const auto& row : rows) keys.emplace_back(row.key, &row);
  keys.emplace_back("Macd", &rows[*fendro::registry::key_slot("MacdIndicator")]);
  keys.emplace_back("Bollinger", &rows[*fendro::registry::key_slot("BollingerBands")]);

  for (std::size_t k = 0; k < keys.size(); ++k) {
    const auto& [key, row] = keys[k];
    if (k % shards != shard) continue;
    if (!only.empty() && std::find(only.begin(), only.end(), key) == only.end()) continue;
    for (const std::vector<double>& params : parameter_sets(*row, key)) {
      for (std::uint32_t s = 0; s < series.size(); ++s) dump_run(w, key, params, s, series[s].bars);
    }
  }
  if (std::fclose(f) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}
