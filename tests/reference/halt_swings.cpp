// What every candle-fed type does on a long halt after a walk: a value that
// swings back and forth once the halt has outlasted its warm-up, or that
// jumps late in the halt, reads rounding where exact arithmetic moves
// steadily toward a limit (a ratio of two averages that decay together read
// through their rounding, a residue of an average of copies).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "fendro/market/bar_snapshot.hpp"
#include "fendro/registry/key_table.hpp"
#include "fendro/registry/registry.hpp"
#include "indicators/series.hpp"
#include "reference/halt_changes.hpp"
#include "reference/halt_swings.hpp"
#include "reference/unbounded_ends.hpp"

namespace fendro::reference {
namespace {

constexpr std::size_t kWalk = 500;
constexpr std::size_t kHalt = 12000;
constexpr std::size_t kLatePast = 1000;  // halt bars after which a jump is late

// Closes moving by whole cents near 3.36, each candle spanning a cent or two.
HaltedSeries cent_walk_halt() {
  std::vector<Candle> moving;
  std::uint64_t seed = 88172645463325252ull;
  long cents = 336;
  for (std::size_t i = 0; i < kWalk; ++i) {
    seed ^= seed << 13; seed ^= seed >> 7; seed ^= seed << 17;
    const long step = static_cast<long>(seed % 5) - 2;
    const long prev = cents;
    cents = std::clamp(cents + step, 300L, 372L);
    const double open = prev / 100.0, close = cents / 100.0;
    const double high = (std::max(prev, cents) + static_cast<long>(seed >> 8) % 2) / 100.0;
    const double low = (std::min(prev, cents) - static_cast<long>(seed >> 9) % 2) / 100.0;
    const double vol = 100.0 + static_cast<double>((seed >> 16) % 900);
    moving.push_back(Candle{1'700'000'000'000 + static_cast<std::int64_t>(i) * 3'600'000, open, high, low, close, vol});
  }
  return halt_after(std::move(moving), kHalt);
}

struct Finding {
  std::size_t sign_changes = 0;
  std::size_t late_jump_bar = 0;  // halt bar of the first late jump, 0 if none
  std::size_t last_change = 0;    // last halt bar whose value differs from the bar before
  double held = 0.0;
};

bool differs(std::optional<double> a, std::optional<double> b) {
  if (a.has_value() != b.has_value()) return true;
  if (!a) return false;
  return std::memcmp(&*a, &*b, sizeof(double)) != 0 && !(std::isnan(*a) && std::isnan(*b));
}

// The findings of one series of values (the value, or one named output).
Finding census_of(const std::vector<std::optional<double>>& v, std::size_t moving, std::uint64_t warmup) {
  double lo = INFINITY, hi = -INFINITY;
  for (auto& x : v) if (x && std::isfinite(*x)) { lo = std::min(lo, *x); hi = std::max(hi, *x); }
  const double range = hi - lo;
  Finding f;
  const std::size_t from = moving + static_cast<std::size_t>(std::min<std::uint64_t>(warmup, kHalt / 2));
  int last_sign = 0;
  for (std::size_t i = moving; i < v.size(); ++i) {
    if (differs(v[i], v[i - 1])) f.last_change = i - moving + 1;
    if (i <= from || !v[i] || !v[i - 1] || !std::isfinite(*v[i]) || !std::isfinite(*v[i - 1])) continue;
    const double d = *v[i] - *v[i - 1];
    const int sign = (d > 0) - (d < 0);
    if (sign != 0 && last_sign != 0 && sign != last_sign) ++f.sign_changes;
    if (sign != 0) last_sign = sign;
    if (f.late_jump_bar == 0 && i - moving + 1 > kLatePast && std::fabs(d) > 0.01 * range)
      f.late_jump_bar = i - moving + 1;
  }
  if (v.back()) f.held = *v.back();
  return f;
}

// Series 0 is the value, series k the (k-1)-th named output; the worst
// finding (swinging first, then the latest change) with its series' name.
Finding census(Indicator& ind, const HaltedSeries& s, std::string& which) {
  std::vector<std::vector<std::optional<double>>> v(1);
  std::vector<std::string> names{"value"};
  for (const Candle& c : s.candles) {
    BarSnapshot snap;
    snap.candle = &c;
    snap.reference = c.close;
    v[0].push_back(ind.update(snap));
    const auto outs = ind.outputs();
    if (v.size() < outs.size() + 1) {
      for (std::size_t k = v.size() - 1; k < outs.size(); ++k) {
        v.emplace_back(v[0].size() - 1, std::nullopt);
        names.emplace_back(outs[k].name);
      }
    }
    for (std::size_t k = 0; k < outs.size(); ++k) v[k + 1].push_back(outs[k].value);
    for (std::size_t k = outs.size() + 1; k < v.size(); ++k) v[k].push_back(std::nullopt);
  }
  Finding worst;
  bool worst_bad = false;
  for (std::size_t k = 0; k < v.size(); ++k) {
    const Finding f = census_of(v[k], s.moving, ind.warmup_period());
    const bool bad = f.sign_changes > 2 || f.late_jump_bar != 0;
    if ((bad && !worst_bad) || (bad == worst_bad && f.last_change > worst.last_change)) {
      worst = f;
      worst_bad = bad;
      which = names[k];
    }
  }
  return worst;
}

}  // namespace

HaltSwing halt_swing_of(const registry::Entry& row) {
  static const HaltedSeries series = cent_walk_halt();
  const auto parsed = row.params.values();
  const std::vector<double> base(parsed.begin(), parsed.end());
  std::vector<std::vector<double>> sets{base};
  for (std::size_t i = 0; i < base.size(); ++i) {
    if (kind_of(row, i) != Kind::Integer) continue;
    for (double x : {2.0, 14.0}) {
      auto p = base;
      p[i] = x;
      if (std::find(sets.begin(), sets.end(), p) == sets.end() && build_indicator(std::string(row.key), p)) {
        sets.push_back(p);
      }
    }
  }
  HaltSwing out;
  for (const auto& p : sets) {
    auto made = build_indicator(std::string(row.key), p);
    if (!made) continue;
    std::string which;
    const Finding f = census(**made, series, which);
    out.last_change = std::max(out.last_change, f.last_change);
    if ((f.sign_changes > 2 || f.late_jump_bar != 0) && out.swing.empty()) {
      char b[300];
      std::snprintf(b, sizeof b, "%s %s: %zu turns, a late jump at halt bar %zu, last change at %zu, ends %.17g",
                    testing::params_text(p).c_str(), which.c_str(), f.sign_changes, f.late_jump_bar,
                    f.last_change, f.held);
      out.swing = b;
    }
  }
  return out;
}

}  // namespace fendro::reference
