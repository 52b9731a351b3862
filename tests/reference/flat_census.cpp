#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include <map>
#include "fendro/registry/key_table.hpp"
#include "fendro/registry/registry.hpp"
#include "reference/stated_range_runs.hpp"
#include "reference/unbounded_ends.hpp"
#include "indicators/all_feeds.hpp"
#include "indicators/series.hpp"
using namespace fendro;
using namespace fendro::reference;

struct Run { std::vector<std::optional<double>> v; std::vector<std::vector<double>> o; };

static Run run(const std::string& key, const std::vector<double>& p, double price, double vol, size_t n) {
  Run r;
  auto made = build_indicator(key, p);
  if (!made) return r;
  IndicatorPtr ind = std::move(made).value();
  testing::Bar b;
  for (size_t i = 0; i < n; ++i) {
    b.candle = Candle{1'700'000'000'000 + (std::int64_t)i * 3'600'000, price, price, price, price, vol};
    b.reference = price;
    auto v = ind->update(testing::snapshot_of(b));
    r.v.push_back(v);
    std::vector<double> o;
    for (auto& [name, x] : ind->outputs()) o.push_back(x);
    r.o.push_back(o);
  }
  return r;
}
static bool same(double a, double b) { return std::memcmp(&a, &b, 8) == 0 || (std::isnan(a) && std::isnan(b)); }
// 0 ok, 1 mismatch, 2 unscaled
static int cmp(std::optional<double> a1, std::optional<double> a4, std::optional<double> ap, double P, std::string& why) {
  if (!a1 && !a4) { if (ap) { why = "value where none"; return 1;} return 0; }
  if (!a1 || !a4) { why = "presence differs 1/4"; return 2; }
  if (!ap) { why = "none where value"; return 1; }
  char buf[200];
  if (same(*a1, *a4)) { if (same(*ap, *a1)) return 0; snprintf(buf, 200, "free: %.17g for %.17g", *ap, *a1); why = buf; return 1; }
  if (same(*a4, 4.0 * *a1)) { if (same(*ap, P * *a1)) return 0; snprintf(buf, 200, "price: %.17g for %.17g", *ap, P * *a1); why = buf; return 1; }
  snprintf(buf, 200, "unscaled 1:%.17g 4:%.17g", *a1, *a4); why = buf; return 2;
}

int main(int argc, char** argv) {
  const char* only = argc > 1 ? argv[1] : nullptr;
  const double prices[] = {0.00103, 0.3, 3.3, 7.77, 123.456, 30000.17, 1e9 + 0.01};
  const double vols[] = {0.0, 1.7};
  size_t bad_keys = 0, unscaled_keys = 0;
  for (const registry::Entry& row : registry::key_rows()) {
    if (row.feed != Feed::Kline) continue;
    if (only && row.key != only) continue;
    std::vector<Kind> kinds;
    const auto parsed = row.params.values();
    std::vector<double> base(parsed.begin(), parsed.end());
    for (size_t i = 0; i < base.size(); ++i) kinds.push_back(kind_of(row, i));
    std::vector<std::vector<double>> sets{base};
    for (size_t i = 0; i < base.size(); ++i) if (kinds[i] == Kind::Integer) for (double v : {1.0, 2.0, 3.0, 14.0}) {
      auto p = base; p[i] = v; bool dup=false; for (auto& s: sets) dup |= s==p; if (!dup && build_indicator(std::string(row.key), p)) sets.push_back(p);
    }
    std::string fbad, fun; size_t nbad = 0;
    for (auto& p : sets) {
      auto ind = build_indicator(std::string(row.key), p);
      size_t n = std::min<size_t>(std::max<size_t>(200, 3 * (*ind)->warmup_period() + 60), 3000);
      for (double V : vols) {
        Run r1 = run(std::string(row.key), p, 1.0, V, n), r4 = run(std::string(row.key), p, 4.0, V, n);
        for (double P : prices) {
          Run rp = run(std::string(row.key), p, P, V, n);
          for (size_t i = 0; i < n; ++i) {
            std::string why; int c = cmp(r1.v[i], r4.v[i], rp.v[i], P, why);
            for (size_t k = 0; c == 0 && k < r1.o[i].size() && k < rp.o[i].size(); ++k) { c = cmp(r1.o[i][k], r4.o[i][k], rp.o[i][k], P, why); if (c) why = "out" + std::to_string(k) + " " + why; }
            if (c) { char b[400]; snprintf(b, 400, "%s P=%g V=%g bar %zu: %s", testing::params_text(p).c_str(), P, V, i, why.c_str()); if (c==1) { if (fbad.empty()) fbad=b; ++nbad; } else if (fun.empty()) fun=b; break; }
          }
        }
      }
    }
    if (!fbad.empty()) { printf("BAD %s %zu | %s\n", std::string(row.key).c_str(), nbad, fbad.c_str()); ++bad_keys; }
    else if (!fun.empty()) { printf("UNSCALED %s | %s\n", std::string(row.key).c_str(), fun.c_str()); ++unscaled_keys; }
  }
  printf("bad %zu unscaled %zu\n", bad_keys, unscaled_keys);
}
