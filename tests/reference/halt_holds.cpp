#include "reference/halt_holds.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>

#include "fendro/market/bar_snapshot.hpp"
#include "indicators/all_feeds.hpp"
#include "indicators/series.hpp"
#include "reference/entry_doc_text.hpp"
#include "reference/halt_changes.hpp"
#include "reference/sample_candles.hpp"
#include "reference/unbounded_ends.hpp"

namespace fendro::reference {
namespace {

constexpr std::string_view kHolds = "On a halt it holds the value it had at halt bar ";
constexpr std::string_view kMovesThenHolds = "On a halt it moves one way, then holds.";
constexpr std::string_view kMovesFrom = "On a halt it moves one way from halt bar ";
constexpr std::string_view kThenHolds = ", then holds.";

// The sample candles and two more walks of their recipe, each then halted.
const std::vector<HaltedSeries>& halted_walks() {
  static const std::vector<HaltedSeries> walks = {
      halt_after(sample_candles(3000), kHoldHaltBars),
      halt_after(sample_candles(3000, 77), kHoldHaltBars),
      halt_after(sample_candles(3000, 5), kHoldHaltBars),
  };
  return walks;
}

// One type's run over one halted walk.
struct Run {
  std::vector<double> params;
  std::vector<std::optional<double>> halt;  // halt bar k at k - 1
  std::optional<double> flat;               // on one-price candles at the halt's price, volume 0
  double price = 0.0;                       // the halt's price
};

bool same(std::optional<double> a, std::optional<double> b) {
  if (a.has_value() != b.has_value()) return false;
  return !a || std::memcmp(&*a, &*b, sizeof(double)) == 0;
}

std::string number(std::optional<double> v) {
  if (!v) return "no value";
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", *v);
  return text;
}

std::optional<double> step(Indicator& ind, const Candle& c) {
  BarSnapshot snap;
  snap.candle = &c;
  return ind.update(snap);
}

Run run_of(const registry::Entry& row, const std::vector<double>& params, const HaltedSeries& walk) {
  Run r{params, {}, {}};
  auto ind = std::move(build_indicator(row.key, params)).value();
  for (std::size_t i = 0; i < walk.candles.size(); ++i) {
    const std::optional<double> v = step(*ind, walk.candles[i]);
    if (i >= walk.moving) r.halt.push_back(v);
  }
  auto flat = std::move(build_indicator(row.key, params)).value();
  const std::size_t n = 3 * static_cast<std::size_t>(std::min<std::uint64_t>(flat->warmup_period(), 1000)) + 60;
  Candle c = walk.candles.back();
  r.price = c.close;
  for (std::size_t i = 0; i < n; ++i, c.time += kSampleHourMs) r.flat = step(*flat, c);
  return r;
}

// The customary parameters, and each whole-number one at 2 and at twice its
// customary value: a bar that follows a parameter moves with it.
std::vector<Run> runs_of(const registry::Entry& row) {
  const auto values = row.params.values();
  const std::vector<double> base(values.begin(), values.end());
  std::vector<std::vector<double>> sets{base};
  for (std::size_t i = 0; i < base.size(); ++i) {
    if (kind_of(row, i) != Kind::Integer) continue;
    for (const double v : {2.0, 2.0 * base[i]}) {
      std::vector<double> p = base;
      p[i] = v;
      if (std::find(sets.begin(), sets.end(), p) == sets.end() && build_indicator(row.key, p)) sets.push_back(p);
    }
  }
  std::vector<Run> runs;
  for (const auto& p : sets) {
    for (const HaltedSeries& walk : halted_walks()) runs.push_back(run_of(row, p, walk));
  }
  return runs;
}

std::vector<std::string> parameter_names(const registry::Entry& row) {
  std::vector<std::string> names;
  for (const ParamText& p : parse_params(row.doc.params).params) names.push_back(p.name);
  return names;
}

// The halt bar `expr` names at a run's parameters, or the fault.
struct Bar {
  std::size_t at = 0;
  std::string fault;
};
Bar bar_of(std::string_view expr, const std::vector<std::string>& names, const Run& run) {
  std::map<std::string, double> at;
  for (std::size_t i = 0; i < names.size() && i < run.params.size(); ++i) at[names[i]] = run.params[i];
  const Evaluated e = evaluate(expr, at);
  if (!e.error.empty()) return {0, "halt bar " + std::string(expr) + ": " + e.error};
  if (e.value < 1 || e.value != std::floor(e.value) || e.value > static_cast<double>(kHoldHaltBars / 2)) {
    return {0, "halt bar " + std::string(expr) + " is " + number(e.value) + ", not one tried"};
  }
  return {static_cast<std::size_t>(e.value), ""};
}

// Whether `v` is the flat case at the halt's price, or a rounding of it: a
// difference of averages that both settle on the price keeps a residue of a
// few units in the last place of the price, not a value of its own.
bool near_flat(double v, const Run& run) {
  if (!run.flat) return false;
  return std::fabs(v - *run.flat) <= 1e-9 * (std::fabs(*run.flat) + std::fabs(run.price));
}

// The last halt bar on which the value changed; 0 where it never did.
std::size_t last_change(const Run& run) {
  std::size_t last = 0;
  for (std::size_t k = 1; k < run.halt.size(); ++k) {
    if (!same(run.halt[k], run.halt[k - 1])) last = k + 1;
  }
  return last;
}

std::string where(const Run& run) { return "at (" + testing::params_text(run.params) + ")"; }

// Where the runs do not hold the value of halt bar `expr` from there on, or
// hold their flat case: "" where every run holds another value.
std::string hold_miss(const std::vector<Run>& runs, const std::vector<std::string>& names, std::string_view expr) {
  // Runs at one parameter set are next to each other: the latest change of
  // each set's runs must come past half the bar it is said to hold from,
  // where that is past halt bar 1, or the bar says more than the runs show.
  for (std::size_t first = 0; first < runs.size();) {
    std::size_t end = first, latest = 0;
    for (; end < runs.size() && runs[end].params == runs[first].params; ++end) {
      latest = std::max(latest, last_change(runs[end]));
    }
    const Bar bar = bar_of(expr, names, runs[first]);
    if (bar.fault.empty() && bar.at >= 4 && 2 * latest < bar.at) {
      return where(runs[first]) + " it last changes at halt bar " + std::to_string(latest) + ", long before halt bar " +
             std::to_string(bar.at);
    }
    first = end;
  }
  for (const Run& run : runs) {
    const Bar bar = bar_of(expr, names, run);
    if (!bar.fault.empty()) return bar.fault;
    const std::optional<double> held = run.halt[bar.at - 1];
    if (!held) return where(run) + " halt bar " + std::to_string(bar.at) + " gives no value";
    if (near_flat(*held, run)) return where(run) + " it holds its flat case, " + number(held);
    for (std::size_t k = bar.at; k < run.halt.size(); ++k) {
      if (same(run.halt[k], held)) continue;
      return where(run) + " halt bar " + std::to_string(k + 1) + " reads " + number(run.halt[k]) + ", halt bar " +
             std::to_string(bar.at) + " " + number(held);
    }
  }
  return "";
}

// Where the runs turn back after halt bar `expr` (1 where empty), move in the
// second half of the halt, or end on their flat case; "" where every run
// moves one way and then holds another value, and one moves after that bar.
std::string moves_miss(const std::vector<Run>& runs, const std::vector<std::string>& names, std::string_view expr) {
  bool moved = false;
  for (const Run& run : runs) {
    const Bar bar = expr.empty() ? Bar{1, ""} : bar_of(expr, names, run);
    if (!bar.fault.empty()) return bar.fault;
    int direction = 0;
    for (std::size_t k = bar.at; k < run.halt.size(); ++k) {
      const std::optional<double> a = run.halt[k - 1], b = run.halt[k];
      if (!a || !b || std::isnan(*a) || std::isnan(*b)) return where(run) + " halt bar " + std::to_string(k + 1) + " reads " + number(b);
      if (same(a, b)) continue;
      moved = true;
      if (k >= run.halt.size() / 2) return where(run) + " it still moves at halt bar " + std::to_string(k + 1);
      const int d = *b > *a ? 1 : -1;
      if (direction != 0 && d != direction) return where(run) + " it turns back at halt bar " + std::to_string(k + 1);
      direction = d;
    }
    if (!run.halt.back() || near_flat(*run.halt.back(), run)) {
      return where(run) + " it ends on its flat case, " + number(run.flat);
    }
  }
  return moved ? "" : "it does not move";
}

// The bars a hold may follow: each whole-number parameter, the sum of two,
// one past one; the smallest at the customary parameters first.
std::vector<std::string> bar_expressions(const registry::Entry& row, const std::vector<std::string>& names) {
  std::vector<std::pair<double, std::string>> found;
  const auto values = row.params.values();
  std::vector<std::size_t> whole;
  for (std::size_t i = 0; i < names.size() && i < values.size(); ++i) {
    if (kind_of(row, i) == Kind::Integer) whole.push_back(i);
  }
  for (std::size_t a = 0; a < whole.size(); ++a) {
    found.emplace_back(values[whole[a]], names[whole[a]]);
    found.emplace_back(values[whole[a]] + 1, names[whole[a]] + " + 1");
    for (std::size_t b = a + 1; b < whole.size(); ++b) {
      found.emplace_back(values[whole[a]] + values[whole[b]], names[whole[a]] + " + " + names[whole[b]]);
    }
  }
  std::stable_sort(found.begin(), found.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
  std::vector<std::string> out;
  for (auto& f : found) out.push_back(std::move(f.second));
  return out;
}

std::string shown(std::string_view expr, const std::vector<std::string>& names) {
  std::map<std::string, double> at;
  for (const std::string& n : names) at[n] = 0.0;
  return show_expression(expr, at);
}

// The expression written between `head` and `tail`, backticks dropped.
std::optional<std::string> written_between(std::string_view value, std::string_view head, std::string_view tail) {
  const std::size_t at = value.find(head);
  if (at == std::string_view::npos) return std::nullopt;
  const std::size_t from = at + head.size();
  const std::size_t to = value.find(tail, from);
  if (to == std::string_view::npos) return std::nullopt;
  std::string expr;
  for (const char c : value.substr(from, to - from)) {
    if (c != '`') expr.push_back(c);
  }
  return expr;
}

}  // namespace

std::string halt_hold_sentence(const registry::Entry& row) {
  if (row.doc.value.find("halt") != std::string_view::npos) return "";
  const std::vector<std::string> names = parameter_names(row);
  const std::vector<Run> runs = runs_of(row);
  const std::vector<std::string> bars = bar_expressions(row, names);
  for (const std::string& e : bars) {
    if (hold_miss(runs, names, e).empty()) return std::string(kHolds) + shown(e, names) + ".";
  }
  if (moves_miss(runs, names, "").empty()) return std::string(kMovesThenHolds);
  for (const std::string& e : bars) {
    if (moves_miss(runs, names, e).empty()) return std::string(kMovesFrom) + shown(e, names) + std::string(kThenHolds);
  }
  return "";
}

std::vector<std::string> halt_hold_faults(std::string_view value, const registry::Entry& row) {
  const std::vector<std::string> names = parameter_names(row);
  std::string miss;
  if (const auto e = written_between(value, kHolds, ".")) {
    miss = hold_miss(runs_of(row), names, *e);
  } else if (value.find(kMovesThenHolds) != std::string_view::npos) {
    miss = moves_miss(runs_of(row), names, "");
  } else if (const auto f = written_between(value, kMovesFrom, kThenHolds)) {
    miss = moves_miss(runs_of(row), names, *f);
  } else if (value.find("On a halt it holds") != std::string_view::npos ||
             value.find("On a halt it moves") != std::string_view::npos) {
    return {"what it holds on a halt cannot be read back"};
  } else {
    return {};
  }
  if (miss.empty()) return {};
  return {"states what it holds on a halt, but " + miss};
}

}  // namespace fendro::reference
