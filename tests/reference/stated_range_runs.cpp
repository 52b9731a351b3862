#include "reference/stated_range_runs.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <span>

#include "indicators/fingerprint_series.hpp"
#include "indicators/series.hpp"
#include "reference/far_scale_series.hpp"
#include "reference/stated_ranges.hpp"

namespace fendro::reference {
namespace {

// Closes moving one way by 0.05% to 1.05% a bar, each candle opening at the
// last close and reaching a little beyond it; a random volume.
std::vector<testing::Bar> one_way(const std::vector<testing::Bar>& walk, std::size_t n, double sign,
                                  std::uint64_t seed) {
  testing::SplitMix rng(seed);
  double close = 100.0;
  return with_walk_feeds(walk, n, [&](std::size_t) {
    const double open = close;
    const double move = 0.0005 + rng.unit() * 0.01;
    close = open * (1.0 + sign * move);
    const double high = std::max(open, close) * (1.0 + rng.unit() * 0.002);
    const double low = std::min(open, close) * (1.0 - rng.unit() * 0.002);
    const double volume = 100.0 + rng.unit() * 1000.0;
    return Candle{0, open, high, low, close, volume};
  });
}

// Flat at 100, one candle from 100 to `to` halfway, then flat at `to`.
std::vector<testing::Bar> one_move(const std::vector<testing::Bar>& walk, std::size_t n, double to) {
  return with_walk_feeds(walk, n, [&](std::size_t i) {
    if (i < n / 2) return Candle{0, 100.0, 100.0, 100.0, 100.0, 500.0};
    if (i > n / 2) return Candle{0, to, to, to, to, 500.0};
    return Candle{0, 100.0, std::max(100.0, to), std::min(100.0, to), to, 500.0};
  });
}

// Runs a fresh instance over `bars`, adding each covered output's values to
// its reach (an empty name: the bar's value).
void measure(const registry::Entry& row, const std::vector<double>& params, const NamedBars& bars,
             std::map<std::string, Reach>& reach) {
  auto built = build_indicator(row.key, params);
  if (!built) return;
  IndicatorPtr ind = std::move(built).value();
  const std::string run = bars.name + " at " + testing::params_text(params);
  for (std::size_t i = 0; i < bars.bars.size(); ++i) {
    const std::optional<double> v = ind->update(testing::snapshot_of(bars.bars[i]));
    if (!v) continue;
    for (auto& [name, r] : reach) {
      if (name.empty()) {
        r.add(*v, run, i);
        continue;
      }
      for (const NamedOutput& o : ind->outputs()) {
        if (o.name == name) r.add(o.value, run, i);
      }
    }
  }
}

std::vector<std::string_view> names_in(std::string_view list) {
  std::vector<std::string_view> out;
  while (!list.empty()) {
    const std::size_t comma = list.find(',');
    std::string_view name = list.substr(0, comma);
    while (name.starts_with(' ')) name.remove_prefix(1);
    out.push_back(name);
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
  return out;
}

}  // namespace

std::vector<ParameterSet> parameter_sets(const registry::Entry& row, const std::vector<Kind>& kinds) {
  const std::vector<double> base(row.params.values().begin(), row.params.values().begin() +
                                                                   static_cast<std::ptrdiff_t>(kinds.size()));
  std::vector<ParameterSet> out{{base, false}};
  const auto add = [&](const std::vector<double>& p, bool wide) {
    const auto same = [&](const ParameterSet& s) { return s.values == p; };
    if (std::find_if(out.begin(), out.end(), same) == out.end() && build_indicator(row.key, p)) {
      out.push_back({p, wide});
    }
  };
  const auto add_long = [&](const std::vector<double>& p) {
    const std::size_t before = out.size();
    add(p, true);
    if (out.size() > before) out.back().long_only = true;
  };
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    if (kinds[i] != Kind::Integer) continue;
    for (const double v : {1.0, 2.0, 5.0, 3.0}) {
      std::vector<double> p = base;
      p[i] = v;
      add(p, v == 3.0);
    }
  }
  for (const double v : {1.0, 2.0, 3.0}) {
    std::vector<double> p = base;
    for (std::size_t i = 0; i < kinds.size(); ++i) {
      if (kinds[i] == Kind::Integer) p[i] = v;
    }
    add(p, true);
  }
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    if (kinds[i] != Kind::Integer) continue;
    for (const double v : kLongPeriods) {
      std::vector<double> p = base, ones = base;
      p[i] = v;
      add_long(p);
      for (std::size_t k = 0; k < kinds.size(); ++k) {
        if (kinds[k] == Kind::Integer) ones[k] = k == i ? v : 1.0;
      }
      add_long(ones);
    }
  }
  return out;
}

std::vector<NamedBars> fingerprint_series(const std::vector<testing::Bar>& walk,
                                          const std::vector<testing::Bar>& halted) {
  std::vector<NamedBars> out;
  out.push_back({"the walk", walk});
  out.push_back({"the edge series", testing::make_edge_bars(walk, 1500)});
  out.push_back({"the halted walk", halted});
  out.push_back({"the settled series", testing::make_settled_bars(walk, 3000, 16000, 1000)});
  return out;
}

std::vector<NamedBars> monotone_series(const std::vector<testing::Bar>& walk, std::size_t n, std::uint64_t run) {
  return {{"rising closes", one_way(walk, n, 1.0, series_seed(48, run))},
          {"falling closes", one_way(walk, n, -1.0, series_seed(49, run))},
          {"one step up", one_move(walk, n, 101.0)},
          {"one step down", one_move(walk, n, 99.0)}};
}

// Four stretches of n / 4 bars: in the first third of each, heavy bars
// among light ones at random; then only light ones. A heavy bar trades a
// volume of about 1e9 and moves the close by up to 1000, a light one trades
// about 1 and moves it by up to 0.001; most bars close at their high. Each
// trade's size is scaled by 1e9 on a heavy bar, by 1e-9 on a light one. A
// running sum keeps the rounding of the heavy bars after they have left its
// window, which a window of light bars then reads.
NamedBars heavy_and_light(const std::vector<testing::Bar>& walk, std::size_t n, std::uint64_t run) {
  testing::SplitMix rng(series_seed(50, run));
  const std::size_t stretch = std::max<std::size_t>(n / 4, 3);
  std::vector<bool> heavy(n);
  double close = 1.0e6;
  std::vector<testing::Bar> bars = with_walk_feeds(walk, n, [&](std::size_t i) {
    heavy[i] = i % stretch < stretch / 3 && rng.unit() < 0.5;
    const double open = close;
    const double move = (rng.unit() - 0.5) * (heavy[i] ? 2000.0 : 0.002);
    close = open + move;
    const double high = std::max(open, close) + (rng.unit() < 0.8 ? 0.0 : rng.unit() * 0.001);
    const double low = std::min(open, close) - rng.unit() * 0.001;
    const double volume = (heavy[i] ? 1.0e9 : 1.0) * (1.0 + rng.unit());
    return Candle{0, open, high, low, close, volume};
  });
  for (std::size_t i = 0; i < n; ++i) {
    for (Trade& t : bars[i].trades) t.size = t.size * (heavy[i] ? 1.0e9 : 1.0e-9);
  }
  return {"heavy and light bars", std::move(bars)};
}

std::vector<std::string> stated_range_faults(const registry::Entry& row, std::string_view value,
                                             const std::vector<Kind>& kinds, const RangeSeries& series,
                                             const std::vector<testing::Bar>& walk, bool report) {
  ReadClaims read = read_claims(row.key, value, range_claims(), other_spans(), unreached_bounds());
  std::vector<std::string> faults = std::move(read.faults);
  if (read.claims.empty()) return faults;
  // Every output any claim covers, measured once over every run.
  std::map<std::string, Reach> reach;
  for (const Claimed& c : read.claims) {
    for (std::string_view name : names_in(c.outputs)) reach.emplace(std::string(name), Reach{});
    if (c.outputs.empty()) reach.emplace("", Reach{});
  }
  for (const ParameterSet& set : parameter_sets(row, kinds)) {
    const std::vector<double>& params = set.values;
    auto built = build_indicator(row.key, params);
    const std::uint64_t warmup = built ? built.value()->warmup_period() : 0;
    const std::size_t n = static_cast<std::size_t>(std::clamp<std::uint64_t>(4 * warmup + 200, 400, 20000));
    if (!set.wide) {
      for (const NamedBars& bars : series.fingerprint) measure(row, params, bars, reach);
    }
    if (!set.long_only) {
      for (const NamedBars& bars : series.scaled) measure(row, params, bars, reach);
    }
    for (const NamedBars& bars : series.far) measure(row, params, bars, reach);
    for (const NamedBars& bars : monotone_series(walk, n, series.run)) measure(row, params, bars, reach);
    measure(row, params, heavy_and_light(walk, n, series.run), reach);
  }
  for (const Claimed& c : read.claims) {
    std::vector<std::string_view> names = names_in(c.outputs);
    if (names.empty()) names.push_back("");
    for (std::string_view name : names) {
      const Reach& r = reach.at(std::string(name));
      if (report) {
        std::fprintf(stderr, "range %.*s \"%s\" %.*s: %.17g (%s) .. %.17g (%s), past %llu / %llu ulps\n",
                     static_cast<int>(row.key.size()), row.key.data(), c.range.text.c_str(),
                     static_cast<int>(name.size()), name.data(), r.min, r.min_at.c_str(), r.max, r.max_at.c_str(),
                     static_cast<unsigned long long>(ulps_past(r.min, c.range.low, false)),
                     static_cast<unsigned long long>(ulps_past(r.max, c.range.high, true)));
      }
      for (std::string& f : reach_faults(c, name, r)) faults.push_back(std::move(f));
    }
  }
  return faults;
}

}  // namespace fendro::reference
