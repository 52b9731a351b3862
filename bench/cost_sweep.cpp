// Which candle-fed types cost more per bar as a parameter grows, how fast,
// and what a bar costs at windows of 10 to 10,000: prints the Markdown that
// docs/performance.md shows under "Types whose cost grows with a parameter".
//
//   cost_sweep [seconds_per_measure]   (0.05 by default)
//
// Scan: every candle-fed key at its customary parameters, then with each
// integer parameter (>= 2) alone at ten and a hundred times its value. A key
// whose cost grows at least kGrowth times at a hundred times a parameter
// grows with it; the log10 of the cost ratio from ten to a hundred times is
// the order (about 1: the window; about 2: its square; one per parameter
// that grows, for a product). Where a hundred times is refused, ten times
// must grow the cost by the square root of kGrowth. Table: the parameter that grows the cost most
// is set to 10, 100, 1,000 and 10,000, the others customary. A warm-up cut
// short by the time allowed leaves the window part full: that figure is a
// lower bound, marked ">". Pin it to one idle core (taskset -c N).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "fendro/indicators/windows/period.hpp"
#include "fendro/registry/key_table.hpp"
#include "fendro/registry/registry.hpp"
#include "fendro/util/math.hpp"
#include "market_bars.hpp"
#include "number_args.hpp"

namespace {

using namespace fendro;
using Clock = std::chrono::steady_clock;

constexpr double kGrowth = 2.0;
constexpr double kPeriods[] = {10, 100, 1000, 10000};
constexpr std::size_t kWorst = 10;

double seconds_since(Clock::time_point t0) {
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

const std::vector<bench::Bar>& bars() {
  static const std::vector<bench::Bar> b = bench::make_bars(1 << 16, 11);
  return b;
}

struct Cost {
  bool built = false;
  bool warm_cut = false;  // the window was not full when timing began
  double ns = 0.0;
};

// ns per bar once the warm-up is fed (for at most 20 x `budget` seconds).
Cost measure(std::string_view key, const std::vector<double>& params, double budget) {
  Cost c;
  auto made = build_indicator(key, params);
  if (!made.ok()) return c;
  c.built = true;
  Indicator& ind = **made;
  const auto& b = bars();
  std::size_t i = 0;
  // What a "prove" gives every type: the candle alone.
  const auto next = [&] {
    BarSnapshot s;
    s.candle = &b[i].candle;
    if (++i == b.size()) i = 0;
    return s;
  };
  const std::uint64_t warm = ind.warmup_period() + 1;
  auto t0 = Clock::now();
  for (std::uint64_t k = 0; k < warm; ++k) {
    ind.update(next());
    if ((k & 15) == 15 && seconds_since(t0) > 20 * budget) {
      c.warm_cut = true;
      break;
    }
  }
  std::uint64_t timed = 0;
  std::uint64_t block = 1;
  t0 = Clock::now();
  double elapsed = 0.0;
  while (timed < 100'000) {
    for (std::uint64_t k = 0; k < block; ++k) ind.update(next());
    timed += block;
    elapsed = seconds_since(t0);
    if (elapsed > budget) break;
    if (block < 64 && elapsed * 100 < budget) block *= 2;
  }
  c.ns = elapsed * 1e9 / static_cast<double>(timed);
  return c;
}

struct Growth {
  std::string key;
  std::vector<double> params;
  std::vector<std::size_t> growing;  // indices of the parameters that grow the cost
  std::vector<int> powers;           // the order of each
  std::size_t main = 0;              // the one that grows it most
  double figures[std::size(kPeriods)] = {};
  bool lower_bound[std::size(kPeriods)] = {};
  bool measured[std::size(kPeriods)] = {};
};

bool is_window(double v) { return v >= 2 && v == std::floor(v); }

std::vector<double> with(std::vector<double> p, std::size_t i, double v) {
  p[i] = std::min(v, static_cast<double>(MAX_PERIOD));
  return p;
}

bool scan(const registry::Entry& row, double budget, Growth& g) {
  g.key = std::string(row.key);
  g.params.assign(row.params.values().begin(), row.params.values().end());
  const Cost base = measure(row.key, g.params, budget);
  if (!base.built) return false;
  double best = 0.0;
  for (std::size_t i = 0; i < g.params.size(); ++i) {
    if (!is_window(g.params[i])) continue;
    const Cost ten = measure(row.key, with(g.params, i, g.params[i] * 10), budget);
    const Cost hundred = measure(row.key, with(g.params, i, g.params[i] * 100), budget);
    if (!ten.built) continue;
    // A hundred times may be refused (a count bounded by another parameter):
    // ten times then tells alone.
    const double ratio = hundred.built ? hundred.ns / base.ns : ten.ns / base.ns;
    if (ratio < (hundred.built ? kGrowth : std::sqrt(kGrowth))) continue;
    const double step = hundred.built ? hundred.ns / ten.ns : ratio;
    const int power = std::max(1, static_cast<int>(std::lround(fendro::cr::log10(step))));
    g.growing.push_back(i);
    g.powers.push_back(power);
    if (ratio > best) {
      best = ratio;
      g.main = i;
    }
  }
  return !g.growing.empty();
}

// The name of a parameter that grows the cost: n for the main one, then m, k.
std::string letter(const Growth& g, std::size_t i) {
  if (i == g.main) return "n";
  std::size_t others = 0;
  for (std::size_t j : g.growing) others += (j != g.main && j < i) ? 1 : 0;
  return others == 0 ? "m" : "k";
}

// "n", "n²", "n x m".
std::string order(const Growth& g) {
  std::string out;
  for (std::size_t k = 0; k < g.growing.size(); ++k) {
    if (!out.empty()) out += " x ";
    out += letter(g, g.growing[k]);
    if (g.powers[k] == 2) out += "²";
    if (g.powers[k] > 2) out += '^' + std::to_string(g.powers[k]);
  }
  return out;
}

std::string figure(double ns) {
  char b[32];
  if (ns >= 1e9) {
    std::snprintf(b, sizeof b, "%.1f s", ns / 1e9);
  } else if (ns >= 1e6) {
    std::snprintf(b, sizeof b, "%.1f ms", ns / 1e6);
  } else if (ns >= 1e3) {
    std::snprintf(b, sizeof b, "%.1f µs", ns / 1e3);
  } else {
    std::snprintf(b, sizeof b, "%.0f ns", ns);
  }
  return b;
}

void measure_period(Growth& g, std::size_t k, double budget) {
  const Cost c = measure(g.key, with(g.params, g.main, kPeriods[k]), budget);
  g.measured[k] = c.built;
  g.figures[k] = c.ns;
  g.lower_bound[k] = c.warm_cut;
}

std::string params_text(const Growth& g) {
  std::string out;
  for (std::size_t i = 0; i < g.params.size(); ++i) {
    if (i > 0) out += ", ";
    if (std::find(g.growing.begin(), g.growing.end(), i) != g.growing.end()) {
      out += letter(g, i);
      if (i != g.main) {
        char b[32];
        std::snprintf(b, sizeof b, " = %g", g.params[i]);
        out += b;
      }
    } else {
      char b[32];
      std::snprintf(b, sizeof b, "%g", g.params[i]);
      out += b;
    }
  }
  return out;
}

// The most measures a sweep takes: each candle-fed key at its customary
// parameters, each window at ten and a hundred times, then each period.
double most_measures() {
  double measures = 0.0;
  for (const registry::Entry& row : registry::key_rows()) {
    if (row.feed != Feed::Kline) continue;
    measures += 1.0 + static_cast<double>(std::size(kPeriods));
    for (const double p : row.params.values()) measures += is_window(p) ? 2.0 : 0.0;
  }
  return measures;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<double> args;
  constexpr const char* kUsage = "usage: cost_sweep [seconds_per_measure]   (0.05 by default)\n";
  if (const auto exit = bench::numbers_or_exit("cost_sweep", kUsage, argc, argv, 1, args, {"seconds_per_measure"})) {
    return *exit;
  }
  const double budget = args.empty() ? 0.05 : args[0];
  // Each measure takes about its budget (a long warm-up up to 20 times it).
  if (const double measures = most_measures(); measures * budget > bench::kDaySeconds) {
    std::fprintf(stderr, "cost_sweep: seconds_per_measure %g: %.0f measures would not end within a day\n%s", budget,
                 measures, kUsage);
    return 2;
  }
  std::vector<Growth> grow;
  for (const registry::Entry& row : registry::key_rows()) {
    if (row.feed != Feed::Kline) continue;
    Growth g;
    if (scan(row, budget, g)) grow.push_back(std::move(g));
    std::fprintf(stderr, "\r%-40s %zu growing", std::string(row.key).c_str(), grow.size());
  }
  std::fprintf(stderr, "\n");
  for (Growth& g : grow) {
    for (std::size_t k = 0; k + 1 < std::size(kPeriods); ++k) measure_period(g, k, budget);
    // The order in the main parameter from 100 to 1,000, where the constant
    // part of a bar's cost no longer blurs it.
    if (g.measured[1] && g.measured[2] && !g.lower_bound[2]) {
      const double p = fendro::cr::log10(g.figures[2] / g.figures[1]);
      const auto it = std::find(g.growing.begin(), g.growing.end(), g.main);
      g.powers[static_cast<std::size_t>(it - g.growing.begin())] = std::max(1, static_cast<int>(std::lround(p)));
    }
  }
  // The worst: the dearest at 1,000 (or at the largest window measured).
  // A larger window measured outranks any figure at a smaller one.
  const auto rank = [](const Growth& g) {
    for (std::size_t k = std::size(kPeriods) - 1; k-- > 0;) {
      if (g.measured[k]) return std::pair<std::size_t, double>(k + 1, g.figures[k]);
    }
    return std::pair<std::size_t, double>(0, 0.0);
  };
  std::sort(grow.begin(), grow.end(), [&](const Growth& a, const Growth& b) { return rank(a) > rank(b); });
  const std::size_t worst = std::min(kWorst, grow.size());
  for (std::size_t w = 0; w < worst; ++w) measure_period(grow[w], std::size(kPeriods) - 1, budget);

  std::printf("| type (parameters) | grows as | n = 10 | 100 | 1,000 | 10,000 |\n");
  std::printf("| --- | --- | ---: | ---: | ---: | ---: |\n");
  for (std::size_t w = 0; w < worst; ++w) {
    const Growth& g = grow[w];
    std::printf("| `%s` (%s) | %s |", g.key.c_str(), params_text(g).c_str(), order(g).c_str());
    for (std::size_t k = 0; k < std::size(kPeriods); ++k) {
      if (!g.measured[k]) {
        std::printf(" - |");
      } else {
        std::printf(" %s%s |", g.lower_bound[k] ? "> " : "", figure(g.figures[k]).c_str());
      }
    }
    std::printf("\n");
  }
  // The others, by order.
  std::vector<std::pair<std::string, std::vector<std::string>>> by_order;
  for (std::size_t w = worst; w < grow.size(); ++w) {
    const std::string o = order(grow[w]);
    auto it = std::find_if(by_order.begin(), by_order.end(), [&](const auto& e) { return e.first == o; });
    if (it == by_order.end()) it = by_order.insert(by_order.end(), {o, {}});
    it->second.push_back(grow[w].key);
  }
  std::printf("\nThe other %zu of the %zu, by how their cost grows:\n\n", grow.size() - worst, grow.size());
  for (auto& [o, keys] : by_order) {
    std::sort(keys.begin(), keys.end());
    std::printf("- %s (%zu):", o.c_str(), keys.size());
    for (std::size_t k = 0; k < keys.size(); ++k) std::printf("%s `%s`", k ? "," : "", keys[k].c_str());
    std::printf(".\n");
  }
  return 0;
}
