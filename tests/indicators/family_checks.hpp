// Checks every indicator family runs over all of its keys, built through the
// registry: the family table, warm-up timing, rejected bars, named outputs
// and long runs. A family test lists its keys once and calls these.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "fendro/registry/registry.hpp"
#include "family_key.hpp"
#include "series.hpp"
#include "testing.hpp"

namespace fendro::testing::family {

inline IndicatorPtr build(const Key& k) { return make(k.key, k.params); }

// The build's error text, or "" when it builds.
inline std::string build_message(const std::string& key, const std::vector<double>& params) {
  const auto r = build_indicator(key, params);
  return r.ok() ? std::string() : r.error().display();
}

// The full text of a construction failure of `key` with `reason`, or "".
inline std::string invalid(const std::string& key, const std::string& reason) {
  return reason.empty() ? "" : "invalid parameters for indicator " + key + ": " + reason;
}

// One key of a family table and the feed it consumes.
struct KeyFeed {
  std::string key;
  Feed feed;
};

// The family's table holds exactly the listed keys, once each, each with its feed.
inline void expect_table(std::span<const registry::Entry> table, const std::vector<KeyFeed>& keys) {
  std::multiset<std::string> got;
  for (const registry::Entry& e : table) got.insert(std::string(e.key));
  std::multiset<std::string> want;
  for (const KeyFeed& k : keys) {
    want.insert(k.key);
    EXPECT_EQ(feed_of_indicator(k.key), k.feed) << k.key;
  }
  EXPECT_EQ(got, want);
}

// The family's table holds exactly the listed keys, once each, all candle-fed.
inline void expect_table(std::span<const registry::Entry> table, const std::vector<Key>& keys) {
  std::vector<KeyFeed> want;
  for (const Key& k : keys) want.push_back({k.key, Feed::Kline});
  expect_table(table, want);
}

// No value before the `warmup_period`-th bar, a value on it and on every
// later bar (keys in `skip` give values only now and then).
inline void expect_warmup(const std::vector<Key>& keys, const std::set<std::string>& skip = {},
                          std::size_t bars = 400) {
  const auto series = random_walk(bars, 3);
  for (const Key& k : keys) {
    if (skip.count(k.key) != 0) continue;
    auto ind = build(k);
    if (!ind) continue;
    const std::uint64_t warmup = ind->warmup_period();
    for (std::size_t i = 0; i < series.size(); ++i) {
      const bool has = step(*ind, series[i]).has_value();
      ASSERT_EQ(has, i + 1 >= warmup) << k.key << " bar " << i + 1 << " warm-up " << warmup;
    }
  }
}

// A rejected bar gives nothing and changes nothing: with bad bars slipped in,
// every later value and output is bit for bit the one without them.
inline void expect_rejected_bars_ignored(const std::vector<Key>& keys) {
  const auto series = random_walk(300, 5);
  Candle nan_close = series[10];
  nan_close.close = std::numeric_limits<double>::quiet_NaN();
  Candle inverted = series[10];  // finite close, high below low
  std::swap(inverted.high, inverted.low);
  for (const Key& k : keys) {
    std::vector<Candle> bad_bars = {nan_close};
    if (!k.close_only) bad_bars.push_back(inverted);
    for (const Candle& bad : bad_bars) {
      auto clean = build(k);
      auto dirty = build(k);
      if (!clean || !dirty) continue;
      for (std::size_t i = 0; i < series.size(); ++i) {
        if (i % 37 == 0 || i == 1) {
          EXPECT_FALSE(step(*dirty, bad)) << k.key;
        }
        const auto want = step(*clean, series[i]);
        const auto got = step(*dirty, series[i]);
        ASSERT_EQ(want.has_value(), got.has_value()) << k.key << " bar " << i;
        if (want) {
          ASSERT_EQ(std::memcmp(&*want, &*got, sizeof(double)), 0) << k.key << " bar " << i;
        }
        const auto oc = clean->outputs();
        const auto od = dirty->outputs();
        ASSERT_EQ(oc.size(), od.size()) << k.key;
        for (std::size_t j = 0; j < oc.size(); ++j) {
          ASSERT_EQ(oc[j].name, od[j].name) << k.key;
          ASSERT_EQ(std::memcmp(&oc[j].value, &od[j].value, sizeof(double)), 0) << k.key;
        }
      }
    }
  }
}

// Outputs are empty before the first value, then carry the listed names in
// order (keys not in `named` have none).
inline void expect_named_outputs(const std::vector<Key>& keys,
                                 const std::map<std::string, std::vector<std::string>>& named) {
  const auto series = random_walk(200, 17);
  for (const Key& k : keys) {
    auto ind = build(k);
    if (!ind) continue;
    EXPECT_TRUE(ind->outputs().empty()) << k.key;
    std::vector<std::string> names;
    for (const Candle& c : series) {
      if (!step(*ind, c)) continue;
      names.clear();
      for (const NamedOutput& o : ind->outputs()) names.emplace_back(o.name);
    }
    const auto it = named.find(k.key);
    EXPECT_EQ(names, it == named.end() ? std::vector<std::string>{} : it->second) << k.key;
  }
}

// Over a long random walk every value and output is finite, and outputs
// named "direction" are exactly +1 or -1.
inline void expect_finite_long_run(const std::vector<Key>& keys, std::size_t bars = 10000) {
  const auto series = random_walk(bars, 11);
  for (const Key& k : keys) {
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
    EXPECT_GT(values, bars / 200) << k.key;
  }
}

}  // namespace fendro::testing::family
