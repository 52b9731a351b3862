// The largest parameters each type key's row allows, read from the intervals
// its reference states (an `inf` end counts as MAX_PERIOD, 16777216): each
// parameter alone at the top of its interval, then all of them at once.
// Where a rule between parameters refuses a setting (`period` at least
// 2 `adf_lags` + 4), the parameter is lowered to the largest value the rule
// allows, found by bisection, the others kept where they are.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "fendro/registry/registry.hpp"
#include "fendro/registry/run_entry.hpp"
#include "reference/entry_doc_text.hpp"
#include "reference/unbounded_ends.hpp"

namespace fendro::bench {

// The row allows `values` when it builds them, or refuses them only for want
// of memory: its rules hold, the machine lacks room.
inline bool row_allows(const registry::Entry& row, const std::vector<double>& values) {
  auto made = registry::run_entry(row.build, row.key, values);
  return made.ok() || made.error().reason == registry::kNoMemoryReason;
}

// The value at the inside of one end of an interval: the end itself when it
// is included, else one step inward (a whole number, or the next double);
// an unbounded end stands at the longest window.
inline double inside_end(const reference::Bound& end, reference::Kind kind, bool low) {
  if (!end.at) return low ? -reference::kMaxPeriod : reference::kMaxPeriod;
  const double at = *end.at;
  if (end.inclusive) return at;
  if (kind == reference::Kind::Integer) return low ? at + 1.0 : at - 1.0;
  return std::nextafter(at, low ? INFINITY : -INFINITY);
}

// The largest value of parameter i in [lo, hi) the row allows with the
// others as in `values`, given that lo is allowed and hi is not.
inline double largest_allowed(const registry::Entry& row, std::vector<double> values, std::size_t i, double lo,
                              double hi, reference::Kind kind) {
  // A double's bisection ends within 64 halvings of any finite interval.
  for (int step = 0; step < 80; ++step) {
    const double half = lo + (hi - lo) / 2.0;
    const double mid = kind == reference::Kind::Integer ? std::floor(half) : half;
    if (!(mid > lo && mid < hi)) break;
    values[i] = mid;
    (row_allows(row, values) ? lo : hi) = mid;
  }
  return lo;
}

// The settings to sweep for one row; its customary parameters alone when no
// parameter can be raised (or the row's parameter text cannot be read).
inline std::vector<std::vector<double>> largest_settings(const registry::Entry& row) {
  const std::vector<double> base(row.params.values().begin(), row.params.values().end());
  const reference::ParsedParams parsed = reference::parse_params(row.doc.params);
  std::vector<std::vector<double>> out;
  const auto add = [&](std::vector<double> p) {
    if (std::find(out.begin(), out.end(), p) == out.end()) out.push_back(std::move(p));
  };
  if (!parsed.error.empty() || parsed.params.size() > base.size()) return {base};

  std::vector<std::size_t> raised;
  std::vector<double> top = base;
  std::vector<double> bottom = base;
  std::vector<reference::Kind> kinds(base.size(), reference::Kind::Number);
  for (std::size_t i = 0; i < parsed.params.size(); ++i) {
    const reference::ParamText& p = parsed.params[i];
    if (!p.low) continue;
    kinds[i] = reference::kind_of(row, i);
    top[i] = inside_end(*p.high, kinds[i], false);
    bottom[i] = inside_end(*p.low, kinds[i], true);
    if (top[i] > base[i]) raised.push_back(i);
  }
  if (raised.empty()) return {base};

  for (const std::size_t i : raised) {
    std::vector<double> alone = base;
    alone[i] = top[i];
    if (!row_allows(row, alone)) alone[i] = largest_allowed(row, base, i, base[i], top[i], kinds[i]);
    add(std::move(alone));
  }
  if (raised.size() < 2) return out;
  std::vector<double> all = base;
  for (const std::size_t i : raised) all[i] = top[i];
  if (row_allows(row, all)) {
    add(std::move(all));
    return out;
  }
  // One parameter lowered at a time, from the bottom of its interval up to
  // where the rule stops it; none when even its bottom is refused.
  for (const std::size_t i : raised) {
    std::vector<double> lowered = all;
    lowered[i] = bottom[i];
    if (!row_allows(row, lowered)) continue;
    lowered[i] = largest_allowed(row, all, i, bottom[i], top[i], kinds[i]);
    add(std::move(lowered));
  }
  return out;
}

}  // namespace fendro::bench
