// Checks every indicator family runs over all of its keys, built through the
// registry from the family's own table with each row's customary parameters:
// warm-up timing, rejected bars, named outputs and long runs. A family test
// passes its table and the exceptions of its types.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <map>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "fendro/registry/registry.hpp"
#include "fendro/util/saturating.hpp"
#include "series.hpp"
#include "testing.hpp"

namespace fendro::testing {

// Parameters and reasons that the construction checks of every family share.
constexpr double kTiny = 1e-20;     // a positive value the count reader turns into 0
constexpr double kOver = 16777217;  // one above the longest window
inline const double kNaN = std::numeric_limits<double>::quiet_NaN();
inline const std::string kZero = "period must be greater than zero";
inline const std::string kMax =
    "invalid period: period exceeds the maximum supported window length (see MAX_PERIOD)";
inline const std::string kMult = "multiplier must be greater than zero";

}  // namespace fendro::testing

namespace fendro::testing::family {

using Table = std::span<const registry::Entry>;

inline IndicatorPtr build(const registry::Entry& e) {
  return make(e.key, std::vector<double>(e.params.values().begin(), e.params.values().end()));
}

// The build's error text, or "" when it builds.
inline std::string build_message(const std::string& key, const std::vector<double>& params) {
  const auto r = build_indicator(key, params);
  return r.ok() ? std::string() : r.error().display();
}

// The full text of a construction failure of `key` with `reason`, or "".
inline std::string invalid(const std::string& key, const std::string& reason) {
  return reason.empty() ? "" : "invalid parameters for indicator " + key + ": " + reason;
}

// One construction: the key, its parameters and the reason of the failure
// (after "invalid parameters for indicator <key>: "), empty when it builds.
struct BuildCase {
  const char* key;
  std::vector<double> params;
  std::string reason;
};

inline void expect_build_reasons(const std::vector<BuildCase>& cases) {
  for (const BuildCase& c : cases) {
    EXPECT_EQ(build_message(c.key, c.params), invalid(c.key, c.reason))
        << c.key << " " << ::testing::PrintToString(c.params);
  }
}

// The checks every key with one period parameter shares: a count read as 0,
// one above the longest window, and the longest window itself.
inline void expect_period_checks(std::initializer_list<const char*> keys) {
  for (const char* key : keys) {
    expect_build_reasons({{key, {kTiny}, kZero}, {key, {kOver}, kMax}, {key, {16777216}, ""}});
  }
}

// A count with no upper check builds, yet sizes nothing up front: its window
// grows only with the bars seen. The warm-up adds such counts up without
// wrapping around (to the largest count at most), and no value comes before it.
struct WarmupCase {
  const char* key;
  std::vector<double> params;
  std::uint64_t warmup = kU64Max;
};

inline void expect_warmups(const std::vector<WarmupCase>& cases) {
  const auto series = random_walk(50, 9);
  for (const WarmupCase& c : cases) {
    IndicatorPtr ind = make(c.key, c.params);
    ASSERT_TRUE(ind) << c.key;
    EXPECT_EQ(ind->warmup_period(), c.warmup) << c.key << " " << ::testing::PrintToString(c.params);
    for (std::size_t i = 0; i + 1 < c.warmup && i < series.size(); ++i) {
      ASSERT_FALSE(step(*ind, series[i])) << c.key << " bar " << i + 1;
    }
  }
}

// No value before the `warmup_period`-th bar, a value on it and on every
// later bar (keys in `skip` give values only now and then, never before it).
inline void expect_warmup(Table keys, const std::set<std::string>& skip = {}, std::size_t bars = 400) {
  const auto series = random_walk(bars, 3);
  for (const registry::Entry& k : keys) {
    const bool now_and_then = skip.count(std::string(k.key)) != 0;
    auto ind = build(k);
    if (!ind) continue;
    const std::uint64_t warmup = ind->warmup_period();
    for (std::size_t i = 0; i < series.size(); ++i) {
      const bool has = step(*ind, series[i]).has_value();
      if (now_and_then) {
        ASSERT_TRUE(!has || i + 1 >= warmup) << k.key << " bar " << i + 1 << " warm-up " << warmup;
      } else {
        ASSERT_EQ(has, i + 1 >= warmup) << k.key << " bar " << i + 1 << " warm-up " << warmup;
      }
    }
  }
}

namespace detail {

// Bits of every value and output of a run.
struct Bits {
  std::vector<std::uint64_t> words;
  bool operator==(const Bits&) const = default;
};

inline void add(Bits& b, double x) {
  std::uint64_t w;
  std::memcpy(&w, &x, sizeof w);
  b.words.push_back(w);
}

// The run over `series` with `bad` slipped in before bar i for every i in
// `at`; the slipped-in bars are left out (`on_bad` learns whether one gave a
// value or changed the outputs).
template <class OnBad>
Bits run_with(const registry::Entry& k, const std::vector<Candle>& series, const std::set<std::size_t>& at,
              const Candle* bad, OnBad on_bad) {
  Bits b;
  auto ind = build(k);
  if (!ind) return b;
  for (std::size_t i = 0; i < series.size(); ++i) {
    if (bad != nullptr && at.count(i) != 0) {
      Bits before;
      for (const NamedOutput& o : ind->outputs()) add(before, o.value);
      const auto v = step(*ind, *bad);
      Bits after;
      for (const NamedOutput& o : ind->outputs()) add(after, o.value);
      on_bad(v.has_value() || after != before);
    }
    const auto v = step(*ind, series[i]);
    add(b, v.has_value() ? 1.0 : 0.0);
    if (v) add(b, *v);
    for (const NamedOutput& o : ind->outputs()) add(b, o.value);
  }
  return b;
}

}  // namespace detail

// A rejected bar gives nothing and changes nothing: with bad bars slipped in,
// every later value and output is bit for bit the one without them. A NaN or
// infinite close is rejected by every type; a crossed candle (high below low)
// or a negative volume is rejected by every type that reads more than the
// close, and to one that reads only the close it is a flat candle at its close.
inline void expect_rejected_bars_ignored(Table keys) {
  const auto series = random_walk(300, 5);
  std::set<std::size_t> at = {1};
  for (std::size_t i = 0; i < series.size(); i += 37) at.insert(i);
  Candle nan_close = series[10];
  nan_close.close = std::numeric_limits<double>::quiet_NaN();
  Candle inf_close = series[10];
  inf_close.close = std::numeric_limits<double>::infinity();
  Candle crossed = series[10];
  std::swap(crossed.high, crossed.low);
  Candle negative_volume = series[10];
  negative_volume.volume = -1.0;
  Candle flat = series[10];
  flat.open = flat.high = flat.low = flat.close;
  const auto ignore = [](bool) {};
  for (const registry::Entry& k : keys) {
    const detail::Bits clean = detail::run_with(k, series, at, nullptr, ignore);
    bool gave = false;
    const auto must_give_nothing = [&](bool left_a_trace) { gave = gave || left_a_trace; };
    for (const Candle* bad : {&nan_close, &inf_close}) {
      EXPECT_EQ(detail::run_with(k, series, at, bad, must_give_nothing), clean) << k.key;
      EXPECT_FALSE(gave) << k.key;
    }
    for (const Candle* bad : {&crossed, &negative_volume}) {
      gave = false;
      const detail::Bits dirty = detail::run_with(k, series, at, bad, must_give_nothing);
      if (dirty == clean && !gave) continue;
      EXPECT_EQ(dirty, detail::run_with(k, series, at, &flat, ignore))
          << k.key << " neither rejects a broken candle nor reads only its close";
    }
  }
}

// Outputs are empty before the first value, then carry the listed names in
// order (keys not in `named` have none).
inline void expect_named_outputs(Table keys,
                                 const std::map<std::string, std::vector<std::string>>& named) {
  const auto series = random_walk(200, 17);
  for (const registry::Entry& k : keys) {
    auto ind = build(k);
    if (!ind) continue;
    EXPECT_TRUE(ind->outputs().empty()) << k.key;
    std::vector<std::string> names;
    for (const Candle& c : series) {
      if (!step(*ind, c)) continue;
      names.clear();
      for (const NamedOutput& o : ind->outputs()) names.emplace_back(o.name);
    }
    const auto it = named.find(std::string(k.key));
    EXPECT_EQ(names, it == named.end() ? std::vector<std::string>{} : it->second) << k.key;
  }
}

// Over a long random walk every value and output is finite, and outputs
// named "direction" are exactly +1 or -1. With `every_bar_from_warmup`, each
// key gives a value on every bar from its warm-up on, not merely now and then.
inline void expect_finite_long_run(Table keys, std::size_t bars = 10000,
                                   bool every_bar_from_warmup = false) {
  const auto series = random_walk(bars, 11);
  for (const registry::Entry& k : keys) {
    auto ind = build(k);
    if (!ind) continue;
    std::size_t values = 0;
    for (const Candle& c : series) {
      const auto v = step(*ind, c);
      if (!v) continue;
      ++values;
      ASSERT_TRUE(std::isfinite(*v)) << k.key;
      for (const NamedOutput& o : ind->outputs()) {
        ASSERT_TRUE(std::isfinite(o.value)) << k.key << "." << o.name;
        if (o.name == "direction") {
          ASSERT_TRUE(o.value == 1.0 || o.value == -1.0) << k.key;
        }
      }
    }
    if (every_bar_from_warmup) {
      const std::uint64_t warmup = ind->warmup_period();
      EXPECT_EQ(values, warmup <= bars ? bars + 1 - warmup : 0) << k.key;
    } else {
      EXPECT_GT(values, bars / 200) << k.key;
    }
  }
}

// The four checks above over one table: keys in `event_driven` give values
// only now and then, those in `named` carry the listed outputs.
inline void expect_family(Table keys, const std::map<std::string, std::vector<std::string>>& named,
                          const std::set<std::string>& event_driven = {}) {
  expect_warmup(keys, event_driven);
  expect_rejected_bars_ignored(keys);
  expect_named_outputs(keys, named);
  expect_finite_long_run(keys);
}

}  // namespace fendro::testing::family
